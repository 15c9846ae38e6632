// Renders the tavrin window to PNG files.
//
//   screenshot [--language de|en|it|fr] [--mode 1..5] [--inputs A,B,C] [--dark] out.png
//   screenshot --all DIR      every language and mode, DIR/tavrin-<lang>-<mode>.png
//
// The language and mode buttons are clicked as a user would, language first;
// --inputs then fills the three fields and presses the calculate button, and
// --dark renders under a dark desktop theme.
// Run it with QT_QPA_PLATFORM=offscreen to render without a display.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
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

// Light text on dark grounds, as a dark desktop theme has it.
QPalette darkTheme() {
    const QColor window(53, 53, 53);
    const QColor base(35, 35, 35);
    const QColor text(230, 230, 230);
    const QColor disabledText(128, 128, 128);
    QPalette palette(window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, text);
        palette.setColor(QPalette::Disabled, role, disabledText);
    }
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return palette;
}

// The three numbers typed into Text1 .. Text3, then the calculate button.
bool calculate(tavrin& window, const QStringList& inputs) {
    for (int i = 0; i < 3; ++i) {
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1));
        if (!field)
            return false;
        field->setText(inputs.value(i));
    }
    auto* button = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool render(const QString& language, int mode, const QStringList& inputs, const QString& path) {
    tavrin window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    if (!clickOption(window, 6 + static_cast<int>(kLanguages.indexOf(language))) ||
        !clickOption(window, mode))
        return false;
    if (!inputs.isEmpty() && !calculate(window, inputs)) {
        std::fprintf(stderr, "screenshot: cannot calculate with %s\n",
                     qPrintable(inputs.join(QLatin1Char(','))));
        return false;
    }
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
    const QCommandLineOption inputsOption(
        QStringLiteral("inputs"),
        QStringLiteral("Three numbers for the input fields, comma-separated; then calculate."),
        QStringLiteral("numbers"));
    const QCommandLineOption darkOption(QStringLiteral("dark"),
                                        QStringLiteral("Render under a dark desktop theme."));
    parser.addOptions({languageOption, modeOption, allOption, inputsOption, darkOption});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The PNG to write."));
    parser.process(application);
    if (parser.isSet(darkOption))
        QApplication::setPalette(darkTheme());

    if (parser.isSet(allOption)) {
        const QDir folder(parser.value(allOption));
        if (!QDir().mkpath(folder.path())) {
            std::fprintf(stderr, "screenshot: cannot create %s\n", qPrintable(folder.path()));
            return 1;
        }
        for (const QString& language : kLanguages)
            for (int mode = 1; mode <= 5; ++mode)
                if (!render(language, mode, {},
                            folder.filePath(
                                QStringLiteral("tavrin-%1-%2.png").arg(language).arg(mode))))
                    return 1;
        return 0;
    }

    const QString language = parser.value(languageOption);
    bool modeOk = false;
    const int mode = parser.value(modeOption).toInt(&modeOk);
    const QStringList inputs = parser.isSet(inputsOption)
                                   ? parser.value(inputsOption).split(QLatin1Char(','))
                                   : QStringList();
    if (!kLanguages.contains(language) || !modeOk || mode < 1 || mode > 5 ||
        (parser.isSet(inputsOption) && inputs.size() != 3) ||
        parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    return render(language, mode, inputs, parser.positionalArguments().constFirst()) ? 0 : 1;
}
