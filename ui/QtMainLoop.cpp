#include "QtMainLoop.h"

#include <QCoreApplication>
#include <QMetaObject>

void QtMainLoop::post(std::function<void()> call) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}
