#pragma once

#include <QString>
#include <functional>
#include <vector>

class FakeHost;

// The five page productions, each callable with a folder and file name (canvas 48 x 36).
struct Production {
    const char *name;
    std::function<void(FakeHost &, const QString &, const QString &)> run;
};
const std::vector<Production> &AllProductions();
