// The controls of the window in their design state: positions and sizes in
// twips at 15 twips a pixel, relative to their container, fonts and colours.

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <iterator>

#include "applicationicon.h"
#include "inputvalidator.h"
#include "statusline.h"
#include "tavrin.h"
#include "tavrinversion.h"

using namespace tav;
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMaxInputLength = 13;

QRect twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

// On Windows the classic 8-point dialog font, or the system's successor to
// it (Wine has neither, but the host's narrow face). Elsewhere a narrow sans-serif close to it, in
// pixels so that the fixed layout does not depend on the screen's resolution; the narrow face keeps
// the longest French and Italian captions inside their controls.
QFont windowFont() {
    QFont font;
#ifdef Q_OS_WIN
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans Narrow")});
    font.setPointSizeF(8.25);
#else
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
#endif
    font.setStyleHint(QFont::SansSerif);
    return font;
}

template <typename Control>
Control* place(QWidget* container, const char* name, QRect geometry) {
    auto* control = new Control(container);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

// Tab enters a group of option buttons at its selected button; the arrow
// keys move within the group.
void tabToSelected(const QList<QRadioButton*>& group) {
    for (QRadioButton* button : group) {
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void keepTabOnSelected(const QList<QRadioButton*>& group) {
    for (QRadioButton* button : group) {
        QObject::connect(button, &QRadioButton::toggled, button, [group] { tabToSelected(group); });
    }
    tabToSelected(group);
}

// The limit is kept by a validator rather than the field's own maximum
// length, which would cut a pasted text to fit instead of refusing it; the
// same validator drops the line breaks around a pasted value.
QLineEdit* inputField(QWidget* container, const char* name, QRect geometry) {
    auto* field = place<QLineEdit>(container, name, geometry);
    field->setValidator(new InputValidator(kMaxInputLength, field));
    return field;
}

}  // namespace

void tavrin::buildControls() {
    setWindowTitle(QStringLiteral("tavrin " TAVRIN_VERSION " (Freeware)"));
    setWindowIcon(applicationIcon());
    setFixedSize(8925 / kTwipsPerPixel, 5430 / kTwipsPerPixel);
    setFont(windowFont());

    // The mode buttons in a frame without a caption; the radio buttons of one
    // container exclude each other.
    Frame1 = place<QGroupBox>(this, "Frame1", twips(120, 120, 4935, 2055));
    Option1 = place<QRadioButton>(Frame1, "Option1", twips(240, 240, 4575, 255));
    Option2 = place<QRadioButton>(Frame1, "Option2", twips(240, 600, 4575, 255));
    Option3 = place<QRadioButton>(Frame1, "Option3", twips(240, 960, 4575, 255));
    Option4 = place<QRadioButton>(Frame1, "Option4", twips(240, 1320, 4455, 255));
    Option5 = place<QRadioButton>(Frame1, "Option5", twips(240, 1680, 4455, 255));
    Option1->setChecked(true);

    Command1 = place<QPushButton>(this, "Command1", twips(5880, 240, 2895, 495));
    Command1->setEnabled(false);

    // The language buttons, in a borderless frame; their captions never change.
    Frame2 = place<QFrame>(this, "Frame2", twips(5880, 960, 1215, 1335));
    Option7 = place<QRadioButton>(Frame2, "Option7", twips(0, 0, 975, 255));
    Option6 = place<QRadioButton>(Frame2, "Option6", twips(0, 360, 975, 255));
    Option8 = place<QRadioButton>(Frame2, "Option8", twips(0, 720, 975, 255));
    // Option9 gets the height of its neighbours: at 195 twips the style's
    // indicator would be cut off at the bottom.
    Option9 = place<QRadioButton>(Frame2, "Option9", twips(0, 1080, 1095, 255));
    Option6->setText(QStringLiteral("Deutsch"));
    Option7->setText(QStringLiteral("English"));
    Option8->setText(QStringLiteral("Italiano"));
    Option9->setText(QStringLiteral("Français"));
    Option7->setChecked(true);

    Check1 = place<QCheckBox>(this, "Check1", twips(7440, 960, 1335, 255));

    Label1 = place<QLabel>(this, "Label1", twips(240, 2685, 5415, 255));
    Text1 = inputField(this, "Text1", twips(5880, 2640, 2895, 285));
    Label2 = place<QLabel>(this, "Label2", twips(240, 3165, 5415, 255));
    Text2 = inputField(this, "Text2", twips(5880, 3120, 2895, 285));
    Label3 = place<QLabel>(this, "Label3", twips(240, 3645, 5415, 255));
    Text3 = inputField(this, "Text3", twips(5880, 3600, 2895, 285));

    // The result: bold, on light blue, read-only but selectable so that it can
    // be copied. Its text is dark whatever the desktop's theme: a dark theme's
    // light text would not read on the fixed light blue.
    QFont bold = font();
    bold.setBold(true);
    Label4 = place<QLabel>(this, "Label4", twips(240, 4485, 3135, 255));
    Label4->setFont(bold);
    Text4 = place<QLineEdit>(this, "Text4", twips(3480, 4440, 5295, 285));
    Text4->setFont(bold);
    Text4->setReadOnly(true);
    QPalette resultPalette = Text4->palette();
    resultPalette.setColor(QPalette::Base, QColor(215, 235, 250));
    resultPalette.setColor(QPalette::Text, Qt::black);
    Text4->setPalette(resultPalette);

    // The status line: the contact address or the result file.
    Label5 = place<StatusLine>(this, "Label5", twips(120, 5040, 8535, 255));
    Label5->setAlignment(Qt::AlignCenter);
    QPalette statusPalette = Label5->palette();
    statusPalette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label5->setPalette(statusPalette);

    keepTabOnSelected({Option1, Option2, Option3, Option4, Option5});
    keepTabOnSelected({Option6, Option7, Option8, Option9});
    setTabSequence();
}

// Tab moves through the controls that take focus in the order of their tab
// indices; frames and labels take none.
void tavrin::setTabSequence() {
    QWidget* const order[] = {Option6, Option7, Text1,   Text2, Command1, Text3,   Option1, Option2,
                              Option3, Option4, Option5, Text4, Option8,  Option9, Check1};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}
