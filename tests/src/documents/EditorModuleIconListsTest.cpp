// The editor data module's icon lists: the shell's small and large system image lists, borrowed
// for the module's life and handed back unharmed.

#include "src/run/ShellTestSupport.h"

#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"

TEST_F(ShellTest, TheModuleBorrowsTheSystemImageLists)
{
    Start();
    ASSERT_NE(Module->SmallIconList, nullptr);
    EXPECT_EQ(Module->SmallIconList, SmallSysImages());
    EXPECT_EQ(Module->LargeIconList, LargeSysImages());
    EXPECT_EQ(Module->SmallIconList->Width(), 16);
    EXPECT_EQ(Module->LargeIconList->Width(), 32);
    EXPECT_EQ(Module->LargeIconList->Image(SystemIcon::Folder).size(), QSize(32, 32));

    Module.reset();
    // The lists outlive the module and still follow the system's icons.
    const int count = SmallSysImages()->Count();
    TSystemIconTable::Instance().IndexOf(QStringLiteral("zentu-module-test;text-x-generic"));
    EXPECT_EQ(SmallSysImages()->Count(), count + 1);
}
