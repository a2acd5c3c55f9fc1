#include "SettingsActions.h"

#include "AppDelegate.h"

#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/SerialQueue.h"
#include "platform/StringTable.h"
#include "ui/AlertView.h"
#include "widgets/AsyncImageView.h"
#include "widgets/WebImageDiskCache.h"

#include <QCoreApplication>

void SettingsActions::alert(const QString& title, const QString& message, int tag)
{
    auto* view = new AlertView(title, message, nullptr, {}, StringTable::localized("OK"));
    view->setTag(tag);
    view->show();
}

void SettingsActions::clearHistory(QObject* sender)
{
    ORVManagedObjectContext* context = AppDelegate::shared() ? AppDelegate::shared()->dbContext() : nullptr;
    if (!context)
        return;
    HistoryRepository(context).clearHistory();
    if (context->hasChanges() && !context->saveDataToDB()) {
        // Nothing was written: the history is still there, and the user is told so.
        alert(StringTable::localized("Error"), StringTable::localized("The history could not be cleared."));
        return;
    }
    NotificationCenter::defaultCenter().post(Notifications::HistoryCleared, sender);
    alert(StringTable::localized("Cleared"), QString());
}

void SettingsActions::clearCaches()
{
    WebImageDiskCache::trim(0);
    AsyncImageView::clearCache();
    // The file caches belong to the cache queue.
    Dispatch::cacheQueue().async([] {
        Utilities::clearShowCache();
        Utilities::clearChannProgramData();
    });
    alert(StringTable::localized("Cleared"), QString());
}

void SettingsActions::showAbout()
{
    const QString text = StringTable::localized("Orvane %@, a TV programme guide. %C 2026 Orvane")
                             .replace(QStringLiteral("%@"), QCoreApplication::applicationVersion())
                             .replace(QStringLiteral("%C"), QString(QChar(169)));
    alert(StringTable::localized("Orvane"), text);
}

void SettingsActions::clearPastEvents(QObject* context)
{
    Utilities::eventStoreRequestAccessWithDelegate(
        context,
        [] {
            Utilities::deletePastORVEvents();
            alert(StringTable::localized("Cleared"), QString(), PastEventsClearedTag);
        },
        [](const Error&) {
            alert(StringTable::localized("Warning!"), StringTable::localized("Calendar access not granted."),
                  PastEventsRefusedTag);
        });
}

void SettingsActions::clearAllEvents(QObject* context)
{
    Utilities::eventStoreRequestAccessWithDelegate(
        context,
        [context] {
            auto* question = new AlertView(
                StringTable::localized("Warning"),
                StringTable::localized("Do you really want clear all calendar events?"), context,
                [](AlertView*, int index) {
                    if (index == 1)
                        Utilities::deleteAllORVEvents();
                },
                StringTable::localized("Cancel"), {StringTable::localized("Clear")});
            question->setTag(ClearAllQuestionTag);
            question->show();
        },
        [](const Error&) {
            alert(StringTable::localized("Warning!"), StringTable::localized("Calendar access not granted."),
                  AllEventsRefusedTag);
        });
}
