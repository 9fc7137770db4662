#include "platform/Clock.h"

namespace {
QDateTime fixedMoment;
}

QDate today() {
    return now().date();
}

QDateTime now() {
    return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
}

void setClock(const QDateTime& fixed) {
    fixedMoment = fixed;
}
