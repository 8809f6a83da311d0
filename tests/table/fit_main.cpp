// The table that fits, on a small screen at twice the scale: the run's only
// screen is 1280 x 900 device pixels (offscreen, from a screen file written
// here) and Qt scales everything by 2, so the screen offers 640 x 450
// pixels to a table designed larger. Settings as for the other window tests:
// a folder of the run's own, emptied before each test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class FirstRunSettings : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString screens = dir.filePath(QStringLiteral("screens.json"));
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1280, "height": 900,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vantoro"));
    QApplication::setApplicationName(QStringLiteral("vantoro"));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunSettings);
    return RUN_ALL_TESTS();
}
