// The loadable printing module: Qt's print support and the job on top of it.
#include "services/printing/qtprintjob.h"

#include <QtGlobal>

#include <type_traits>

extern "C" Q_DECL_EXPORT PrintJob *pellavin_open_default_print_job()
{
    static_assert(std::is_same_v<decltype(pellavin_open_default_print_job), OpenDefaultPrintJob>);
    return openDefaultPrintJob().release();
}
