#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QTest>

class TestJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void utf8Validation_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QByteArray("{\"a\":1}") << true;
        QTest::newRow("cyrillic") << QByteArray("\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0") << true;
        QTest::newRow("lone continuation") << QByteArray("\x80") << false;
        QTest::newRow("truncated") << QByteArray("\xd0") << false;
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("latin1 e acute") << QByteArray("caf\xe9") << false;
    }
    void utf8Validation()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(Json::isValidUtf8(bytes), valid);
        QString error;
        if (!valid) {
            QVERIFY(!Json::decode(bytes, &error).isValid());
            QVERIFY(!error.isEmpty());
        }
    }

    void topLevelMustBeObjectOrArray_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("object") << "{\"a\": [1, 2]}" << true;
        QTest::newRow("empty array") << "[]" << true;
        QTest::newRow("number") << "42" << false;
        QTest::newRow("string") << "\"x\"" << false;
        QTest::newRow("null") << "null" << false;
        QTest::newRow("garbage after") << "{} x" << false;
        QTest::newRow("html") << "<html><body>404</body></html>" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("unterminated") << "{\"a\": " << false;
    }
    void topLevelMustBeObjectOrArray()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QString error;
        const QVariant value = Json::objectWithString(text, &error);
        QCOMPARE(value.isValid(), accepted);
        QCOMPARE(error.isEmpty(), accepted);
    }

    void nestingLimitIs512()
    {
        auto nested = [](int depth) -> QString { return QString(depth, u'[') + QString(depth, u']'); };
        QVERIFY(Json::objectWithString(nested(512)).isValid());
        QString error;
        QVERIFY(!Json::objectWithString(nested(513), &error).isValid());
        QVERIFY(error.contains(u"512"));
        // Brackets inside strings, with escaped quotes, are text, not nesting.
        const QString inString =
            QStringLiteral("[\"") + QString(600, u'[') + QStringLiteral("\\\"\",") + nested(510) + u']';
        QVERIFY(Json::objectWithString(inString).isValid());
        // Deep nesting far beyond the parser's own limit is refused, not crashed on.
        QVERIFY(!Json::objectWithString(nested(100000)).isValid());
    }

    void valuesKeepTheirKinds()
    {
        const QVariant value = Json::objectWithString(QStringLiteral(
            "{\"n\": 7, \"f\": 2.5, \"s\": \"\\u041c\", \"b\": true, \"z\": null, \"l\": [1, {}]}"));
        const QVariantMap map = value.toMap();
        QCOMPARE(map.value("n").typeId(), QMetaType::Double);
        QCOMPARE(map.value("n").toDouble(), 7.0);
        QCOMPARE(map.value("f").toDouble(), 2.5);
        QCOMPARE(map.value("s").toString(), QStringLiteral("М"));
        QCOMPARE(map.value("b").typeId(), QMetaType::Bool);
        QVERIFY(Json::isNull(map.value("z")));
        QVERIFY(map.contains("z"));
        QCOMPARE(map.value("l").toList().size(), 2);
        QCOMPARE(map.value("l").toList().at(1).typeId(), QMetaType::QVariantMap);
    }

    void encodeRoundTrips()
    {
        const QString text = QStringLiteral("{\"a\":[1,2.5,null,\"т\"],\"b\":{\"c\":false}}");
        const QVariant value = Json::objectWithString(text);
        QCOMPARE(Json::objectWithString(QString::fromUtf8(Json::encode(value))), value);
        QCOMPARE(Json::encode(Json::null()), QByteArray("null"));
        QCOMPARE(Json::encode(QVariant(3)), QByteArray("3"));
        QCOMPARE(Json::encode(QVariantMap{{"x", 12.0}}), QByteArray("{\"x\":12}"));
    }

    void lenientReads_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("integer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("whole number") << QVariant(27.0) << 27 << "27" << true;
        QTest::newRow("fraction") << QVariant(-2.75) << -2 << "-2.75" << true;
        QTest::newRow("numeric text") << QVariant("12abc") << 12 << "12abc" << true;
        QTest::newRow("spaced text") << QVariant("  -7") << -7 << "  -7" << true;
        QTest::newRow("word") << QVariant("abc") << 0 << "abc" << false;
        QTest::newRow("yes") << QVariant("Yes") << 0 << "Yes" << true;
        QTest::newRow("huge") << QVariant(1e30) << std::numeric_limits<int>::max() << "1e+30" << true;
        QTest::newRow("null") << Json::null() << 0 << "" << false;
        QTest::newRow("missing") << QVariant() << 0 << "" << false;
        QTest::newRow("array") << QVariant(QVariantList{1}) << 0 << "" << false;
        QTest::newRow("bool") << QVariant(true) << 1 << "1" << true;
    }
    void lenientReads()
    {
        QFETCH(QVariant, value);
        QFETCH(int, integer);
        QFETCH(QString, text);
        QFETCH(bool, boolean);
        QCOMPARE(JsonValue::integer(value), integer);
        QCOMPARE(JsonValue::text(value), text);
        QCOMPARE(JsonValue::boolean(value), boolean);
    }
};

QTEST_GUILESS_MAIN(TestJson)
#include "tst_json.moc"
