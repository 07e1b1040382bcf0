#include "platform/ViewServices.h"

#include <atomic>

namespace {
std::atomic<IMessageBoxService *> g_messageBoxService{nullptr};
}

void SetMessageBoxService(IMessageBoxService *service)
{
    g_messageBoxService.store(service);
}

int ShowMessage(const std::string &text, unsigned type, int code)
{
    if (IMessageBoxService *service = g_messageBoxService.load())
        return service->ShowMessage(text, type, code);
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}
