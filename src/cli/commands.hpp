// The commands of kavelin-cli. Each takes the arguments after its name and returns the
// process's exit code.
#pragma once

namespace kavelin::cli {

int RunMake(int argc, char** argv);
int RunInspect(int argc, char** argv);
int RunSheet(int argc, char** argv);
int RunExport(int argc, char** argv);
int RunEncode(int argc, char** argv);
int RunTemplate(int argc, char** argv);
int RunNames(int argc, char** argv);

}  // namespace kavelin::cli
