#include "cli/ScaleOptions.h"

#include "pool/Cores.h"
#include "experiments/Plot.h"
#include "cli/Options.h"

namespace tryzone
{

namespace
{
constexpr int kMostJobs = 1024;

void NeedPlotter(const std::string& plotFile)
{
    if (!plotFile.empty())
    {
        if (const std::string missing = PlotterMissing(); !missing.empty())
        {
            throw CLI::ValidationError(missing);
        }
    }
}

void AddJobs(CLI::App& app, ScaleOptions& options)
{
    options.jobs = std::min(AvailableCores(), kMostJobs);
    app.add_option_function<std::string>(
           "--jobs",
           [&options](const std::string& text)
           { options.jobs = static_cast<int>(WholeNumber("--jobs", text, 1, kMostJobs)); },
           "worker processes that play matches side by side, 1 to " + std::to_string(kMostJobs) +
               " (default: the\nprocessors this process may use, here " + std::to_string(options.jobs) +
               "); every output is the same whatever the number")
        ->type_name("N");
}

// --vary and what goes with it.
void AddSweep(CLI::App& app, ScaleOptions& options)
{
    CLI::Option* vary = app.add_option("--vary", options.vary,
                                       "play --matches matches at each value of a float key of the settings file, "
                                       "from FROM to TO\nin steps of STEP or at each value of a list, every value "
                                       "with the same match seeds, and print\na table of the results by value (e.g. "
                                       "LuckMultiplier=0:2:0.25 or Speed=250,300,400)")
                            ->type_name("KEY=FROM:TO:STEP|KEY=V1,V2,...");
    app.add_option("--who", options.who,
                   "whose key --vary changes: blue, red, all or slot:N (N from 0 to 9); default blue. The\nother "
                   "players keep their settings; the win rates are that side's (blue's for all)")
        ->type_name("SIDE")
        ->needs(vary);
    AddFile(app, "--csv", options.csvFile, "with --vary, write the table as CSV")->needs(vary);
    AddFile(app, "--plot", options.plotFile,
            "with --vary, draw blue's win rate and both sides' tries against the value as a PNG\n(needs gnuplot: "
            "the Debian package gnuplot-nox)")
        ->needs(vary);
    for (const char* single : {"--events", "--heatmap"})
    {
        if (CLI::Option* option = app.get_option_no_throw(single))
        {
            vary->excludes(option);
        }
    }
}

void AddShard(CLI::App& app, ScaleOptions& options)
{
    CLI::Option* shard =
        app.add_option_function<std::string>(
               "--shard",
               [&options](const std::string& text)
               {
                   auto parsed = ParseShard(text);
                   if (!parsed)
                   {
                       throw CLI::ValidationError(parsed.Reason());
                   }
                   options.shard = *parsed;
               },
               "play only shard K of N (K from 0 to N-1) of the run's matches, each with the seed it\nhas in the "
               "whole run; --json then writes a part for the merge subcommand")
            ->type_name("K/N");
    if (CLI::Option* seed = app.get_option_no_throw("--seed"))
    {
        shard->needs(seed);
    }
}

void AddMerge(CLI::App& app, ScaleOptions& options)
{
    options.merge = app.add_subcommand("merge", "put the parts of a run played in shards (--shard K/N --json) back "
                                                "together, as if\nthe run had been played in one go");
    FormatHelp(*options.merge, "PART.json... [options]");
    options.merge->footer(
        "The summary goes to standard output, as for a run; its last line is the parts' speed.\nExit status: 0 on "
        "success, 2 for a bad command line or parts that do not make one run (each part\nis checked: its program's "
        "build, its matches' numbers, seeds and frames, its digest), 1 when an\noutput file cannot be written, 3 "
        "when the run stopped at a rule broken, 128 + N on signal N.");
    options.merge
        ->add_option("PART.json", options.parts,
                     "the parts that tryzone-sim --shard K/N --json wrote, one per "
                     "shard, in any order")
        ->type_name("");
    AddFile(*options.merge, "--json", options.mergeJson, "write the whole run's JSON");
    AddFile(*options.merge, "--csv", options.mergeCsv, "write a sweep's table as CSV");
    AddFile(*options.merge, "--plot", options.mergePlot, "draw a sweep's chart as a PNG");
    AddFile(*options.merge, "--heatmap", options.mergeHeatmap, "draw the whole run's heat map as a PNG");
    options.merge->add_flag("--any-build", options.anyBuild,
                            "merge parts written by another build of tryzone-sim, whose matches may differ\nfrom "
                            "this build's; without it such parts are refused, and one match of each part,\ndrawn "
                            "at random, is played again and must give what the part says");
    options.merge->add_flag("--replay-all", options.replayAll,
                            "play every match of every part again, not one per part: as long as the run took\non one "
                            "core, and no forged result gets through")
        ->excludes("--any-build");
}

// Checked together once everything is read: --who may come after --vary.
void CheckTogether(CLI::App& app, ScaleOptions& options)
{
    app.callback(
        [&app, &options]()
        {
            if (options.merge->parsed())
            {
                for (const CLI::Option* option : app.get_options())
                {
                    if (option->count() > 0)
                    {
                        throw CLI::ValidationError("merge takes the parts and its own options only, not " +
                                                   option->get_name());
                    }
                }
                if (options.parts.empty())
                {
                    throw CLI::ValidationError("merge needs the parts: tryzone-sim merge PART.json...");
                }
                NeedPlotter(options.mergePlot);
                return;
            }
            if (!options.vary.empty() || app.get_option("--vary")->count() > 0)
            {
                auto parsed = ParseVariation(options.vary, options.who);
                if (!parsed)
                {
                    throw CLI::ValidationError(parsed.Reason());
                }
                options.variation = *parsed;
            }
            NeedPlotter(options.plotFile);
        });
}
} // namespace

void AddScaleOptions(CLI::App& app, ScaleOptions& options)
{
    AddJobs(app, options);
    AddSweep(app, options);
    AddShard(app, options);
    AddMerge(app, options);
    CheckTogether(app, options);
}

} // namespace tryzone
