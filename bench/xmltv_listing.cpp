// Writes a synthetic XMLTV listing for import benchmarks: CHANNELS channels, DAYS days from
// today 00:00 UTC, programmes of 15 to 120 minutes with descriptions, credits, categories,
// a date, a country and star ratings, the way real grabbers' listings look.
//   bench_xmltv_listing OUT.xml [CHANNELS=100] [DAYS=7]
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

const char* const Words[] = {"гавань", "вечер", "город", "история", "море", "дорога", "тайна", "звезда",
                             "север", "песня", "поезд", "сад", "зима", "огонь", "мост", "остров"};
const char* const Categories[] = {"Фильм", "Сериал", "Спорт", "Новости", "Детям", "Познавательное", "Музыка",
                                  "Развлечения"};
const char* const Names[] = {"Анна Белова", "Игорь Савельев", "Ольга Мирная", "Павел Крылов", "Ирина Лаптева",
                             "Сергей Дорохов", "Мария Тихонова", "Андрей Чернов"};

QString words(QRandomGenerator& random, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString::fromUtf8(Words[random.bounded(int(std::size(Words)))]);
    out.first()[0] = out.first()[0].toUpper();
    return out.join(u' ');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_xmltv_listing OUT.xml [CHANNELS] [DAYS]\n");
        return 2;
    }
    const int channels = args.size() > 2 ? args[2].toInt() : 100;
    const int days = args.size() > 3 ? args[3].toInt() : 7;
    QFile file(args[1]);
    if (channels <= 0 || days <= 0 || !file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_xmltv_listing: bad arguments or %s cannot be written\n", qPrintable(args[1]));
        return 1;
    }
    QRandomGenerator random(20261207);
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE tv SYSTEM \"xmltv.dtd\">"));
    xml.writeStartElement(QStringLiteral("tv"));
    xml.writeAttribute(QStringLiteral("generator-info-name"), QStringLiteral("bench_xmltv_listing"));
    for (int c = 1; c <= channels; ++c) {
        xml.writeStartElement(QStringLiteral("channel"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("ch%1.bench").arg(c));
        xml.writeTextElement(QStringLiteral("display-name"), QStringLiteral("Канал %1").arg(c));
        xml.writeEndElement();
    }
    const QDateTime first(QDate::currentDate(), QTime(0, 0), Qt::UTC);
    qint64 programmes = 0;
    for (int c = 1; c <= channels; ++c) {
        QDateTime start = first;
        const QDateTime end = first.addDays(days);
        while (start < end) {
            const QDateTime stop = start.addSecs(60 * (15 + 5 * random.bounded(22)));
            xml.writeStartElement(QStringLiteral("programme"));
            xml.writeAttribute(QStringLiteral("start"), start.toString(u"yyyyMMddHHmmss") + QStringLiteral(" +0000"));
            xml.writeAttribute(QStringLiteral("stop"), stop.toString(u"yyyyMMddHHmmss") + QStringLiteral(" +0000"));
            xml.writeAttribute(QStringLiteral("channel"), QStringLiteral("ch%1.bench").arg(c));
            xml.writeStartElement(QStringLiteral("title"));
            xml.writeAttribute(QStringLiteral("lang"), QStringLiteral("ru"));
            xml.writeCharacters(words(random, 2 + random.bounded(3)));
            xml.writeEndElement();
            xml.writeTextElement(QStringLiteral("desc"), words(random, 25 + random.bounded(30)) + u'.');
            xml.writeStartElement(QStringLiteral("credits"));
            xml.writeTextElement(QStringLiteral("director"), QString::fromUtf8(Names[random.bounded(8)]));
            for (int a = 0; a < 3; ++a)
                xml.writeTextElement(QStringLiteral("actor"), QString::fromUtf8(Names[random.bounded(8)]));
            xml.writeEndElement();
            xml.writeTextElement(QStringLiteral("date"), QString::number(1960 + random.bounded(66)));
            xml.writeTextElement(QStringLiteral("category"), QString::fromUtf8(Categories[random.bounded(8)]));
            xml.writeTextElement(QStringLiteral("country"), QStringLiteral("Россия"));
            xml.writeStartElement(QStringLiteral("star-rating"));
            xml.writeAttribute(QStringLiteral("system"), QStringLiteral("IMDb"));
            xml.writeTextElement(QStringLiteral("value"), QStringLiteral("%1/10").arg(1 + random.bounded(90) / 10.0));
            xml.writeEndElement();
            xml.writeEndElement();
            start = stop;
            ++programmes;
        }
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (!file.flush()) {
        std::fprintf(stderr, "bench_xmltv_listing: writing %s failed\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("%d channels, %d days, %lld programmes, %lld bytes\n", channels, days, programmes, file.size());
    return 0;
}
