#pragma once

#include "OrvexConfigBase.h"

#include <vector>

namespace OrvexTest {

// A configuration object for tests: answers the connection test as told and
// records the ports it was given. Every other operation is unsupported.
class FakeConfig final : public Orvex::OrvexConfigBase
{
public:
    FakeConfig() { ++Alive; }
    ~FakeConfig() override { --Alive; }
    QString Version() const override { return VersionText; }
    void SetPortNumber(int port) override { PortNumbers.push_back(port); }
    int TestConnection() override
    {
        if (!TestError.isEmpty())
            throw Orvex::ComponentError(Orvex::ResultCode::Fail, TestError);
        return TestAnswer;
    }

    int TestAnswer = -1;
    QString TestError; // when set, the connection test raises it
    QString VersionText = QStringLiteral("1.0.0");
    std::vector<int> PortNumbers;
    static inline int Alive = 0;
};

} // namespace OrvexTest
