// corvalt-cli plan FILE.emf --add MODEL.json | --export NAME | --list |
// --delete NAME: the plans a project keeps. --add stores a model (JSON,
// format corvalt-map/1, one that map would take) as the plan of its name,
// replacing a plan of that name where it stands; --export prints a plan's
// model as JSON, as span prints one; --list prints the plans' names, one a
// line; --delete removes a plan. A changed project is written through the
// project writer, which keeps the previous file unless the new one is complete.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/MapJson.h"

#include "model/Limits.h"
#include "model/Project.h"
#include "model/TextHelpers.h"
#include "space/MapModel.h"

#include <iostream>
#include <variant>

namespace corvalt::cli {

namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli plan FILE.emf (--add MODEL.json | --export NAME | --list | --delete NAME)";

// The model file's plan, stored in the project once the map model builds
// from it: a plan in a project is one that maps.
int AddPlan(TEmfProject& project, const std::string& projectPath, const std::string& modelPath) {
    TPlan plan;
    if (const int loaded = LoadMapModelFile(modelPath, plan); loaded != ExitOk) return loaded;
    const auto built = space::BuildSpaceModel(plan);
    if (const auto* error = std::get_if<space::TMapInputError>(&built))
        return Fail(ExitBadInput, modelPath + ": " + error->Message);
    if (auto full = RoomForPlan(project, plan.Name))
        return Fail(ExitBadInput, projectPath + ": " + *full);
    project.StorePlan(std::move(plan));
    return SaveProjectFile(project, projectPath);
}

int DeletePlan(TEmfProject& project, const std::string& projectPath, const std::string& name) {
    if (!project.DeletePlan(name))
        return Fail(ExitBadInput, projectPath + ": there is no plan named '" + name + "'");
    return SaveProjectFile(project, projectPath);
}

} // namespace

int RunPlan(const Args& arguments) {
    Args args = arguments;
    std::string model, exported, deleted;
    bool adding = false, exporting = false, deleting = false;
    if (auto error = TakeOption(args, "--add", "a model file", model, adding))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeOption(args, "--export", "a plan's name", exported, exporting))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeOption(args, "--delete", "a plan's name", deleted, deleting))
        return Fail(ExitBadInput, *error);
    const bool listing = TakeFlag(args, "--list");
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1 || adding + exporting + deleting + listing != 1)
        return Fail(ExitBadInput, kUsage);
    const std::string& path = args[0];

    if (exporting) {
        TPlan plan;
        if (const int loaded = LoadProjectPlan(path, exported, plan); loaded != ExitOk)
            return loaded;
        WriteMapModelJson(std::cout, plan);
        return ExitOk;
    }
    TEmfProject project;
    if (const int loaded = LoadProjectFile(path, project); loaded != ExitOk) return loaded;
    if (adding) return AddPlan(project, path, model);
    if (deleting) return DeletePlan(project, path, deleted);
    // Each name on a line of its own, whatever bytes it holds.
    for (const TPlan& plan : project.Plans)
        std::cout << PrintableText(plan.Name) << '\n';
    return ExitOk;
}

} // namespace corvalt::cli
