// slack: how late a player may be at the timed actions of each level's
// solution script and still solve the level (see timing.h), held against the
// limits every level keeps. See README.md beside this file.
//
//   slack --levels DIR --solutions DIR [--level N] [--verbose]
//
// One line per level; with --verbose, one more per timed action. The exit
// status is 1 when a level's slack is below its limit or its script does not
// solve it, 2 on a usage error.
#include "options.h"
#include "timing.h"

#include "main.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

bool parseOptions(int argc, char** argv, PlayOptions& o)
{
    for (int i = 1; i < argc; i++)
        if (!o.take(argc, argv, i))
            return false;
    return o.complete();
}

std::string seconds(int ticks)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f s", ticks * tickLength / 1000.0);
    return text;
}

std::string described(const TimedAction& t)
{
    return ticks(t.slack) + (t.atLeast ? " or more" : "") + " (" + seconds(t.slack) + "), line "
        + std::to_string(t.action.line) + " '" + t.action.text + "'";
}

// Prints the level's line and, verbose, its timed actions; true when fair.
bool report(int number, const LevelSlack& s, bool verbose)
{
    printf("level %d: ", number);
    const TimedAction* tightest = s.tightest();
    if (!s.error.empty())
        printf("%s\n", s.error.c_str());
    else if (!tightest)
        printf("no timed action\n");
    else
        printf("slack %s%s%s\n", described(*tightest).c_str(),
               s.timingIsTheIdea ? ", timing is its idea" : "",
               s.belowLimit() ? (", below the limit of " + std::to_string(s.limit())).c_str() : "");
    if (verbose)
        for (const TimedAction& t : s.timed)
            printf("    %s\n", described(t).c_str());
    return s.error.empty() && !s.belowLimit();
}

}  // namespace

int main(int argc, char** argv)
{
    PlayOptions o;
    if (!parseOptions(argc, argv, o)) {
        fprintf(stderr, "usage: slack --levels DIR --solutions DIR [--level N] [--verbose]\n");
        return 2;
    }
    if (o.only && !fs::exists(o.levels / std::to_string(o.only))) {
        fprintf(stderr, "slack: there is no level %d in %s\n", o.only, o.levels.c_str());
        return 1;
    }
    int measured = 0, unfair = 0;
    for (int n = o.only ? o.only : 1; fs::exists(o.levels / std::to_string(n)); n++) {
        const std::string level = (o.levels / std::to_string(n)).string();
        const std::string script = (o.solutions / (std::to_string(n) + ".txt")).string();
        measured++;
        unfair += !report(n, measureSlack(level, script, SlackDepth::ToTheCap), o.verbose);
        fflush(stdout);
        if (o.only)
            break;
    }
    printf("slack: %d levels measured (delays up to %d ticks), %d below the limits or not solved\n", measured,
           slackCap, unfair);
    return measured > 0 && unfair == 0 ? 0 : 1;
}
