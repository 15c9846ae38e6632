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

#include "clssysregistry.h"
#include "runtimeerror.h"
#include "variant.h"

namespace tav::test {

// The error `action` raised, or nothing when it raised none.
inline std::optional<RuntimeError> raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return std::nullopt;
}

// "number source" of the error `action` raised, empty when it raised none.
inline QString errorOf(const std::function<void()>& action) {
    const auto error = raisedBy(action);
    return error ? QStringLiteral("%1 %2").arg(error->number()).arg(error->source()) : QString();
}

// A fresh configuration folder, so that the settings file is the test's own.
struct ConfigHome {
    ConfigHome() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("tavrin/registry.ini")); }
    QTemporaryDir dir;
};

inline clsSysRegistry settings(const QString& app, const QString& section,
                               qint32 type = RegistryType::String) {
    clsSysRegistry registry;
    registry.AppName(app);
    registry.Section(section);
    registry.DataType(type);
    return registry;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Makes a theme in `folder` with one icon, "text-plain", the desktop's icon
// theme, so that icon look-ups mean the same on every machine.
inline void installTestIconTheme(const QString& folder) {
    writeFile(folder + QStringLiteral("/tavrintest/index.theme"),
              "[Icon Theme]\nName=tavrintest\nDirectories=16x16\n\n[16x16]\nSize=16\nType=Fixed\n");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/tavrintest/16x16")));
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(folder + QStringLiteral("/tavrintest/16x16/text-plain.png")));
    QIcon::setThemeSearchPaths({folder});
    QIcon::setThemeName(QStringLiteral("tavrintest"));
}

// Runs `action` once on the next modal widget of type T as soon as it is
// shown. It watches for `timeoutMs` of real time and stops when it goes out
// of scope, so it never acts on a later test's dialog.
template <typename T>
class OnModal {
public:
    explicit OnModal(std::function<void(T*)> action, int timeoutMs = 5000)
        : m_action(std::move(action)), m_timeoutMs(timeoutMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_clock.start();
        m_timer.start(10);
    }
    bool appeared() const { return m_appeared; }
    // Lets the event loop run until the watch is over; false if it never ends.
    [[nodiscard]] bool waitUntilOver() {
        return QTest::qWaitFor([this] { return !m_timer.isActive(); }, m_timeoutMs + 1000);
    }

private:
    void poll() {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if ((widget && widget->isVisible()) || m_clock.hasExpired(m_timeoutMs)) {
            m_timer.stop();
        }
        if (widget && widget->isVisible()) {
            m_appeared = true;
            m_action(widget);
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
