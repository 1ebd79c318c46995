// One QApplication for every test of the window, on the X display (Xvfb in the test runs). The
// settings of the windows closed by the tests go to a folder of this run, never to the user's.

#include "CwinReg.h"
#include "Vue3D.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QTemporaryDir reglages;
    qputenv("XDG_CONFIG_HOME", reglages.filePath("config").toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.filePath("config"));
    tessarc::TWinReg::Environnement().RepertoireIni = reglages.filePath("ini").toStdString() + "/";
    QSurfaceFormat::setDefaultFormat(tessarc::TVue3D::FormatApplication());
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
