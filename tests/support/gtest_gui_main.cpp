#include <QGuiApplication>
#include <gtest/gtest.h>

// The logic's test programs run headless with one QGuiApplication: pictures and fonts need it,
// widgets are not linked.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
