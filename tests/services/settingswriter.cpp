// Helper of tst_sysregistry: writes `count` settings named "<prefix>-<n>"
// into section "Race" of application "tavrin-test", once the file `go`
// exists, so that two copies started together really write at once.

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cstdio>

#include "clssysregistry.h"
#include "runtimeerror.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s prefix count go-file\n", argv[0]);
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    const QString go = QString::fromLocal8Bit(argv[3]);
    for (int waited = 0; !QFile::exists(go); waited += 5) {
        if (waited > 10000) {
            std::fprintf(stderr, "no start signal\n");
            return 3;
        }
        QThread::msleep(5);
    }

    tav::clsSysRegistry registry;
    registry.AppName(QStringLiteral("tavrin-test"));
    registry.Section(QStringLiteral("Race"));
    registry.DataType(tav::RegistryType::String);
    try {
        for (int i = 0; i < count; ++i) {
            registry.SaveSetting(QStringLiteral("%1-%2").arg(prefix).arg(i),
                                 QStringLiteral("%1 value %2").arg(prefix).arg(i));
        }
    } catch (const tav::RuntimeError& error) {
        std::fprintf(stderr, "%d %s %s\n", error.number(), qPrintable(error.source()),
                     qPrintable(error.description()));
        return 1;
    }
    return 0;
}
