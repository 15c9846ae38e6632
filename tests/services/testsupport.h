#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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

// Runs `action` once on the next modal widget of type T, as soon as it is
// shown. It watches for `timeoutMs` of real time and stops when it goes out
// of scope, so it never acts on a later test's dialog. A dialog that never
// comes leaves appeared() false.
template <typename T>
class OnModal {
public:
    explicit OnModal(std::function<void(T*)> action, int timeoutMs = 5000)
        : m_action(std::move(action)), m_timeoutMs(timeoutMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_clock.start();
        m_timer.start(10);
    }
    OnModal(const OnModal&) = delete;
    OnModal& operator=(const OnModal&) = delete;

    bool appeared() const { return m_appeared; }
    // Lets the event loop run until the watch is over; false if it never ends.
    [[nodiscard]] bool waitUntilOver() {
        return QTest::qWaitFor([this] { return !m_timer.isActive(); }, m_timeoutMs + 1000);
    }

private:
    void poll() {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
            widget && widget->isVisible()) {
            m_timer.stop();
            m_appeared = true;
            m_action(widget);
        } else if (m_clock.hasExpired(m_timeoutMs)) {
            m_timer.stop();
        }
    }

    std::function<void(T*)> m_action;
    int m_timeoutMs;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_appeared = false;
};

}  // namespace tav::test

namespace tav {
// Lets QCOMPARE show a Variant that differs.
inline char* toString(const Variant& value) {
    return QTest::toString(describe(value));
}
}  // namespace tav
