#include "shell/QtTranslation.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>
#include <QTranslator>

#include "framework/os/SFAppDir.h"

Q_LOGGING_CATEGORY(lcQtTranslation, "tessaro.language")

bool InstallQtTranslation(int language) {
    // One translator for the whole run: installing it again after a switch never stacks a
    // second translation over the first.
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    if (language == 0) {
        return false;
    }
    const QString qm =
        QString::fromStdString(SF_SOFT_BASE::ApplicationDirectory() + "/qt_zh_CN.qm");
    if (!translator.load(qm, QString(), QString(), QString())) {
        qCInfo(lcQtTranslation, "no Qt translation at %s", qPrintable(qm));
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}
