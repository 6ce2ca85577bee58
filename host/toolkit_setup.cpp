#include "host/toolkit_setup.h"

#include <QByteArray>
#include <QtGlobal>

namespace host {

void prepareToolkit() {
    // The electron flushes a few pixels at a time, over and over, while its handler holds the
    // thread. Shared-memory images make each small flush wait for the X server to finish the
    // previous one; plain requests do not.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
    }
}

} // namespace host
