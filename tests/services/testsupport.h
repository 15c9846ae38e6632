#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "runtimeerror.h"
#include "variant.h"

namespace tav::test {

// What a raised RuntimeError carried.
struct Raised {
    int number = 0;
    QString source;
    QString description;
};

// The error `action` raised, or nothing when it raised none.
inline std::optional<Raised> raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return Raised{error.number(), error.source(), error.description()};
    }
    return std::nullopt;
}

// Points the user's configuration folder at a fresh temporary folder for as
// long as it lives, so the settings file of the tests is their own.
class ScopedConfigHome {
public:
    ScopedConfigHome() : m_previous(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~ScopedConfigHome() {
        if (m_previous.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", m_previous);
        }
    }
    QString path() const { return m_dir.path(); }
    QString settingsFile() const { return m_dir.path() + QStringLiteral("/tavrin/registry.ini"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Makes a small icon theme in `folder` the desktop's theme, with icons for
// "text-plain" and "image-x-generic" only, so that icon look-ups mean the
// same on every machine.
inline void installTestIconTheme(const QString& folder) {
    const QString theme = folder + QStringLiteral("/tavrintest");
    QVERIFY(QDir().mkpath(theme + QStringLiteral("/16x16/mimetypes")));
    writeFile(theme + QStringLiteral("/index.theme"),
              "[Icon Theme]\nName=tavrintest\nDirectories=16x16/mimetypes\n\n"
              "[16x16/mimetypes]\nSize=16\nType=Fixed\n");
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(theme + QStringLiteral("/16x16/mimetypes/text-plain.png")));
    QVERIFY(image.save(theme + QStringLiteral("/16x16/mimetypes/image-x-generic.png")));
    QIcon::setThemeSearchPaths({folder});
    QIcon::setThemeName(QStringLiteral("tavrintest"));
}

// Runs `action` on the next modal widget of type T once it is shown. A
// dialog that never comes fails the test instead of leaving it waiting;
// `appeared` tells whether it came.
template <typename T>
void whenModal(const std::function<void(T*)>& action, bool* appeared = nullptr,
               int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    if (appeared) {
        *appeared = false;
    }
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
            widget && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            if (appeared) {
                *appeared = true;
            }
            action(widget);
        } else if ((*waited += 10) > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

}  // namespace tav::test

namespace tav {
// Lets QCOMPARE show a Variant that differs.
inline char* toString(const Variant& value) {
    return QTest::toString(describe(value));
}
}  // namespace tav
