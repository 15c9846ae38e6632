#include "keypaddecimal.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>

namespace tav {
namespace {

bool isKeypadDecimal(const QKeyEvent& key) {
    if (!key.modifiers().testFlag(Qt::KeypadModifier)) {
        return false;
    }
    if (key.key() == Qt::Key_Period || key.key() == Qt::Key_Comma) {
        return true;
    }
    // Some layouts send the separator's text with another key code.
    const QString text = key.text();
    return text == QLatin1String(".") || text == QLatin1String(",");
}

}  // namespace

KeypadDecimal::KeypadDecimal(QObject* parent) : QObject(parent) {}

// The key is typed again with the locale's separator as its text, so that the
// field handles it like any typed character: replacing a selection, undo and
// the field's length limit.
bool KeypadDecimal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (!isKeypadDecimal(*key)) {
        return false;
    }
    const QString separator = QLocale().decimalPoint();
    if (key->text() == separator) {
        return false;  // also ends the filter's own resent key
    }
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), separator, key->isAutoRepeat(),
                    static_cast<quint16>(key->count()));
    QCoreApplication::sendEvent(watched, &typed);
    event->setAccepted(typed.isAccepted());
    return true;
}

}  // namespace tav
