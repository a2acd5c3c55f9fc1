#include "SearchCommand.h"

#include "CliSession.h"
#include "ShowList.h"
#include "TextTable.h"

#include "model/DateAdditions.h"
#include "model/Utilities.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

int SearchCommand::run(CliSession& session)
{
    const QString text = session.options().arguments.join(u' ');
    if (text.trimmed().isEmpty()) {
        CliSession::fail(QStringLiteral("usage: search TEXT"));
        return 2;
    }
    return session.answer([&](const Reply& reply) { ServiceCalls::sharedManager().search(text, reply); },
                          [&](const QVariant& answer) {
                              const QVariantMap results = answer.toMap();
                              const QList<std::shared_ptr<Show>> shows =
                                  ShowList::fromAnswer(results, session);
                              if (results.contains(QStringLiteral("nodata")) || shows.isEmpty()) {
                                  CliSession::print(StringTable::localized("Nothing found."));
                                  return 0;
                              }
                              TextTable table;
                              for (const auto& show : shows) {
                                  table.addRow({DateAdditions::getDayOfWeekImproved(show->startTime),
                                                DateAdditions::getTime(show->startTime),
                                                session.channelName(show->channelId), show->composedTitle,
                                                QStringLiteral("orvane://progdetails/") +
                                                    Utilities::stringFromDate(show->startTime) + u'/' +
                                                    show->channelId + u'/' + show->showId});
                              }
                              CliSession::print(table.render());
                              return 0;
                          });
}
