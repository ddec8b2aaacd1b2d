// The INI document's section lookup: names in any letter case, the first of two sections of one
// name, and the lookup kept right through appending and erasing sections.

#include "ExLib/run/storage/ExIniDocument.h"

#include "Platform/text/TextUtils.h"

#include <gtest/gtest.h>

TEST(IniDocument, SectionsAreFoundByNameInAnyCaseThroughEveryChange)
{
    TExIniDocument doc;
    doc.LoadFromText("[Forms]\r\nA=1\r\n[forms]\r\nA=2\r\n[Empty]\r\n[Forms\\Main]\r\nTop=3\r\n");
    EXPECT_EQ(doc.ReadString("FORMS", "a", "-"), "1") << "the first section of a name wins";
    EXPECT_EQ(doc.ReadString("forms\\main", "TOP", "-"), "3");
    EXPECT_FALSE(doc.SectionExists("Empty"));

    doc.WriteString("New", "K", "v");
    doc.WriteString("NEW", "L", "w");
    EXPECT_EQ(doc.ReadString("new", "k", "-"), "v");
    EXPECT_EQ(doc.ReadString("new", "l", "-"), "w") << "one section, found again after it was appended";

    doc.EraseSection("FORMS");
    EXPECT_EQ(doc.ReadString("Forms", "A", "-"), "2") << "the second section of the name comes forward";
    EXPECT_EQ(doc.ReadString("Forms\\Main", "Top", "-"), "3") << "sections after the erased one are still found";

    EXPECT_TRUE(doc.EraseSections([](const std::string& name) { return StartsText("Forms", name); }));
    EXPECT_FALSE(doc.EraseSections([](const std::string& name) { return StartsText("Forms", name); }));
    EXPECT_EQ(doc.ReadString("forms", "A", "-"), "-");
    EXPECT_EQ(doc.ReadString("Forms\\Main", "Top", "-"), "-");
    EXPECT_EQ(doc.ReadString("New", "K", "-"), "v");
    EXPECT_EQ(doc.Text(), "[Empty]\r\n\r\n[New]\r\nK=v\r\nL=w\r\n\r\n");

    doc.Clear();
    EXPECT_EQ(doc.ReadString("New", "K", "-"), "-");
    doc.WriteString("New", "K", "again");
    EXPECT_EQ(doc.Text(), "[New]\r\nK=again\r\n\r\n");
}
