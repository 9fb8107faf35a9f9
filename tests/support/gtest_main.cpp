#include <gtest/gtest.h>

#ifdef GALVORA_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication; // the windows' tests need widgets
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication; // the logic's tests: pictures and fonts, no widgets linked
#endif

// Every test program runs headless with one application object.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
