#include <QApplication>
#include <QSurfaceFormat>
#include <gtest/gtest.h>

#include "ui/gl_format.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A QApplication without a display aborts; listing tests needs none.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with("--gtest_list_tests"))
            return RUN_ALL_TESTS();
    }
    QSurfaceFormat::setDefaultFormat(kestrova::ui::DefaultGlFormat());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
