#include "statusline.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace tav {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    // A path is shown as it is, never read as markup.
    setTextFormat(Qt::PlainText);
}

void StatusLine::setStatus(const QString& text) {
    setText(text);
    updateToolTip();
}

QString StatusLine::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void StatusLine::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateToolTip();
}

void StatusLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateToolTip();
    }
}

void StatusLine::updateToolTip() {
    setToolTip(shownText() == text() ? QString() : text());
}

}  // namespace tav
