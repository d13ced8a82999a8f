// Names each instance of a table-driven test after the `name` of its table row.
#pragma once

#include <string>

namespace versweep::test {

struct CaseName
{
    template <typename Info>
    std::string operator()(const Info& testInfo) const
    {
        return testInfo.param.name;
    }
};

} // namespace versweep::test
