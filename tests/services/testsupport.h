#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "../testkit.h"
#include "clssysregistry.h"
#include "runtimeerror.h"
#include "variant.h"

namespace tav::test {

// "number source" of the error `action` raised, with its text if asked for;
// empty when it raised none.
inline QString errorOf(const std::function<void()>& action, bool withText = false) {
    const RuntimeError e = raisedBy(action);
    if (e.number() == 0) {
        return {};
    }
    return QStringLiteral("%1 %2").arg(e.number()).arg(e.source()) +
           (withText ? ' ' + e.description() : QString());
}

// A fresh configuration folder, so that the settings file is the test's own.
struct ConfigHome {
    ConfigHome() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); }
    QString settingsFile() const { return dir.filePath("tavrin/registry.ini"); }
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

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Runs `action` once on the first visible modal widget of type T that shows while
// the object lives, so that it never acts on a later test's dialog. A modal
// dialog runs its own event loop, so one that appeared during a call has been
// seen when the call returns.
template <typename T>
struct OnModal {
    explicit OnModal(std::function<void(T*)> action) {
        QObject::connect(&timer, &QTimer::timeout, [this, action] {
            auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
            if (widget && widget->isVisible()) {
                timer.stop();
                appeared = true;
                action(widget);
            }
        });
        timer.start(10);
    }
    QTimer timer;
    bool appeared = false;
};

}  // namespace tav::test

namespace tav {
// Lets QCOMPARE show a Variant that differs.
inline char* toString(const Variant& value) {
    return QTest::toString(describe(value));
}
}  // namespace tav
