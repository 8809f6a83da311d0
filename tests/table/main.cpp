// The table window tests need a QApplication (widgets, focus, message boxes).
// They run on the offscreen platform unless the environment chooses another.
// The window's settings (and its statistics, in a data folder) go to a
// configuration folder of their own that lives as long as the run, emptied before each test: every
// test starts as a first run of the program, and nothing reaches the user's own settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class FirstRunSettings : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Before any settings are read: Qt takes the folder once per process.
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The statistics and the last game too.
    QTemporaryDir data;
    if (!data.isValid()) return 1;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vantoro"));
    QApplication::setApplicationName(QStringLiteral("vantoro"));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunSettings);
    return RUN_ALL_TESTS();
}
