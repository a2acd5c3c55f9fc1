#include "AppContext.h"

#include <atomic>

namespace {

class DefaultContext final : public AppContext
{
public:
    int userCityId() const override { return 1; }
    QVariantMap mapListDict() const override { return {}; }
    double roundedServerTimeDifference() const override { return 0; }
    std::shared_ptr<Channel> selectedChannel() const override { return nullptr; }
};

std::atomic<AppContext*>& installed()
{
    static std::atomic<AppContext*> context{nullptr};
    return context;
}

} // namespace

AppContext* AppContext::current()
{
    static DefaultContext fallback;
    AppContext* context = installed().load();
    return context ? context : &fallback;
}

void AppContext::setCurrent(AppContext* context)
{
    installed().store(context);
}
