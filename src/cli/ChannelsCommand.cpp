#include "ChannelsCommand.h"

#include "CliSession.h"
#include "TextTable.h"

#include "model/ChannelGroup.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

int ChannelsCommand::run(CliSession& session)
{
    return session.answer(
        [](const Reply& reply) { ServiceCalls::sharedManager().getChannelInfoWithChannelId(-4, reply); },
        [&](const QVariant& answer) {
            const ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(JsonValue::map(answer));
            if (groups.isEmpty()) {
                CliSession::print(StringTable::localized("No channels."));
                return 0;
            }
            for (const ChannelGroup& group : groups) {
                CliSession::print(group.category->name());
                TextTable table;
                for (const auto& channel : group.channels) {
                    table.addRow(
                        {channel->channelId(),
                         channel->isTV() ? StringTable::localized("TV") : StringTable::localized("Radio"),
                         channel->isAutoDetection() ? QStringLiteral("♪") : QString(), channel->name()});
                }
                CliSession::print(table.render(QStringLiteral("  ")));
            }
            CliSession::print(QStringLiteral("♪ ") +
                              StringTable::localized("can be identified by its sound"));
            return 0;
        });
}
