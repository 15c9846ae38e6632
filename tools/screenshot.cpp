// Renders the tavrin window to PNG files.
//
//   screenshot [--language de|en|it|fr] [--mode 1..5] out.png
//   screenshot --all DIR      every language and mode, DIR/tavrin-<lang>-<mode>.png
//
// The language and mode buttons are clicked as a user would, language first.
// Run it with QT_QPA_PLATFORM=offscreen to render without a display.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPixmap>
#include <QRadioButton>
#include <QStringList>
#include <cstdio>

#include "tavrin.h"

namespace {

const QStringList kLanguages{"de", "en", "it", "fr"};  // Option6 .. Option9

bool clickOption(tavrin& window, int number) {
    auto* button = window.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
    if (!button)
        return false;
    button->click();
    return true;
}

bool render(const QString& language, int mode, const QString& path) {
    tavrin window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    if (!clickOption(window, 6 + static_cast<int>(kLanguages.indexOf(language))) ||
        !clickOption(window, mode))
        return false;
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders the tavrin window to PNG."));
    parser.addHelpOption();
    const QCommandLineOption languageOption(QStringLiteral("language"),
                                            QStringLiteral("Language: de, en, it or fr."),
                                            QStringLiteral("language"), QStringLiteral("en"));
    const QCommandLineOption modeOption(QStringLiteral("mode"),
                                        QStringLiteral("Calculation mode 1 to 5."),
                                        QStringLiteral("mode"), QStringLiteral("1"));
    const QCommandLineOption allOption(
        QStringLiteral("all"), QStringLiteral("Write every language and mode into a folder."),
        QStringLiteral("folder"));
    parser.addOptions({languageOption, modeOption, allOption});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The PNG to write."));
    parser.process(application);

    if (parser.isSet(allOption)) {
        const QDir folder(parser.value(allOption));
        if (!QDir().mkpath(folder.path())) {
            std::fprintf(stderr, "screenshot: cannot create %s\n", qPrintable(folder.path()));
            return 1;
        }
        for (const QString& language : kLanguages)
            for (int mode = 1; mode <= 5; ++mode)
                if (!render(language, mode,
                            folder.filePath(
                                QStringLiteral("tavrin-%1-%2.png").arg(language).arg(mode))))
                    return 1;
        return 0;
    }

    const QString language = parser.value(languageOption);
    bool modeOk = false;
    const int mode = parser.value(modeOption).toInt(&modeOk);
    if (!kLanguages.contains(language) || !modeOk || mode < 1 || mode > 5 ||
        parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    return render(language, mode, parser.positionalArguments().constFirst()) ? 0 : 1;
}
