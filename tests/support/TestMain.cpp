// The main of every test binary: a TApplication on the offscreen platform. A message box
// that a test did not ask for fails the test instead of waiting for a click.

#include "Platform/core/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    app.MessageBoxHook = [](const TMessageBoxRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.Text;
        return IDCANCEL;
    };
    return RUN_ALL_TESTS();
}
