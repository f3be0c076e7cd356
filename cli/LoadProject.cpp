#include "cli/Commands.h"

#include "model/Project.h"

namespace corvalt::cli {

int LoadProjectFile(const std::string& path, TEmfProject& project) {
    const TFileResult result = project.Load(path);
    if (result.Ok) {
        project.FileName = path;
        return ExitOk;
    }
    std::string message = path + ": " + result.Message;
    if (!result.Detail.empty()) message += " (" + result.Detail + ")";
    return Fail(ExitBadInput, message);
}

int SaveProjectFile(TEmfProject& project, const std::string& path) {
    const TFileResult saved = project.Save(path);
    if (!saved.Ok)
        return Fail(ExitBadInput, path + ": " + saved.Message + " (" + saved.Detail + ")");
    return ExitOk;
}

int LoadProjectPlan(const std::string& path, const std::string& name, TPlan& plan) {
    TEmfProject project;
    if (const int loaded = LoadProjectFile(path, project); loaded != ExitOk) return loaded;
    const TPlan* found = PlanOrFail(project, name, path);
    if (found == nullptr) return ExitBadInput;
    plan = *found;
    return ExitOk;
}

const TPlan* PlanOrFail(const TEmfProject& project, const std::string& name,
                        const std::string& projectPath) {
    const TPlan* found = project.FindPlan(name);
    if (found == nullptr)
        Fail(ExitBadInput, projectPath + ": there is no plan named '" + name +
                               "' (the project has " + std::to_string(project.Plans.size()) +
                               " plans)");
    return found;
}

} // namespace corvalt::cli
