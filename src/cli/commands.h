#pragma once

// The subcommands of the `trivo` command line. Each receives the arguments that follow
// the subcommand's name (argv[0] is the first of them, argc may be 0) and returns the
// process exit status: 0 success, 1 a step ended with an error, 2 a usage error.
int RunConvert(int argc, char** argv);
int RunParallels(int argc, char** argv);
int RunEdit(int argc, char** argv);
int RunNetwork(int argc, char** argv);
int RunQuery(int argc, char** argv);
int RunHtmlImport(int argc, char** argv);
int RunPreview(int argc, char** argv);
int RunRoute(int argc, char** argv);
int RunStopTimetable(int argc, char** argv);
int RunGtfsExport(int argc, char** argv);
int RunCheck(int argc, char** argv);
int RunGtfsImport(int argc, char** argv);
