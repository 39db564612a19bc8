#pragma once

namespace trivo::cli {

// Exit statuses shared by all subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran, but at least one step ended with an error
inline constexpr int kExitUsage = 2;   // bad arguments or a missing input; nothing was done

}  // namespace trivo::cli
