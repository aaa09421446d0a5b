#pragma once

#include <array>

namespace Orvex {

// The drive's accepted range and default for every parameter P0 to P255, as
// the command database gives them. All zero until the database is loaded.
class ParameterLimits
{
public:
    struct Entry
    {
        double Minimum = 0.0;
        double Maximum = 0.0;
        double Default = 0.0;
    };

    static constexpr int Count = 256;

    // Entry n of P0..P255; out-of-range numbers are a programming error.
    const Entry& operator[](int number) const
    {
        return m_entries.at(static_cast<unsigned>(number));
    }
    Entry& operator[](int number) { return m_entries.at(static_cast<unsigned>(number)); }

    // True when value lies in the inclusive range of Pn.
    bool Contains(int number, double value) const
    {
        const Entry& entry = (*this)[number];
        return value >= entry.Minimum && value <= entry.Maximum;
    }

private:
    std::array<Entry, Count> m_entries{};
};

} // namespace Orvex
