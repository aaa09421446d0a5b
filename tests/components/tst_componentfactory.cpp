#include "ComponentFactory.h"

#include <QTest>

using namespace Orvex;

namespace {

class IGreeter : public IComponent
{
public:
    virtual QString Hello() const = 0;
};

class Greeter final : public IGreeter
{
public:
    QString Hello() const override { return QStringLiteral("hello"); }
};

class Other final : public IComponent
{};

} // namespace

class TestComponentFactory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsRegisteredObjects();
    void failures_data();
    void failures();
};

void TestComponentFactory::createsRegisteredObjects()
{
    ComponentFactory factory;
    factory.Register(QStringLiteral("Test.Greeter"), [] { return std::make_unique<Greeter>(); });
    const auto first = factory.Create<IGreeter>(QStringLiteral("Test.Greeter"));
    const auto second = factory.Create<IGreeter>(QStringLiteral("Test.Greeter"));
    QCOMPARE(first->Hello(), QStringLiteral("hello"));
    QVERIFY(first.get() != second.get());
}

void TestComponentFactory::failures_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("not registered")
        << "OrvexBridge.Config" << ResultCode::ClassNotRegistered
        << "OrvexBridge.Config is not installed (class not registered).";
    QTest::newRow("wrong interface") << "Test.Other" << ResultCode::NoInterface
                                     << "Test.Other does not support the requested interface.";
    QTest::newRow("creator fails")
        << "Test.Null" << ResultCode::Fail << "Test.Null could not be created.";
}

void TestComponentFactory::failures()
{
    QFETCH(QString, progId);
    QFETCH(quint32, code);
    QFETCH(QString, description);
    ComponentFactory factory;
    factory.Register(QStringLiteral("Test.Other"), [] { return std::make_unique<Other>(); });
    factory.Register(QStringLiteral("Test.Null"), [] { return std::unique_ptr<IComponent>(); });
    try {
        factory.Create<IGreeter>(progId);
        QFAIL("no exception");
    } catch (const ComponentError& error) {
        QCOMPARE(error.Code(), code);
        QCOMPARE(error.Description(), description);
    }
}

QTEST_GUILESS_MAIN(TestComponentFactory)
#include "tst_componentfactory.moc"
