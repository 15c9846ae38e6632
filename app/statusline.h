#pragma once

#include <QLabel>

namespace tav {

// The status line: the contact address or the result file's path, in one
// line. A path too long for it is shortened in the middle, where the folders
// are, so that the file's name stays in view; the whole path is then its
// tool tip. The label's text is always the whole path.
class StatusLine : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setStatus(const QString& text);
    // What the line shows of its text at its present width and font.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateToolTip();
};

}  // namespace tav
