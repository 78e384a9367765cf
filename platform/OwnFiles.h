// The names of a writer's own files beside a target: "~<name>.<n>.<kind>" in the target's
// folder, where <kind> says what the file is:
//   saving  a result or a copy being written, which takes the target's name once whole;
//   claim   a claim of the name ("DontOverwrite") giving way to the result;
//   moving  an input on its way out (a move, a rename, a delete), out of other programs' reach;
//   kept    a file that a conversion replaces, kept until its result can be vouched for.
// Where that name would pass a name's 255 characters or MAX_PATH, "~<16 hex digits>.<n>.<kind>"
// stands for it, and where even that does not fit, "~" and as many hex digits as fit: never
// longer than the target's own name, so that every target that Windows accepts has own files.
// Each own file is made (or renamed to) only where nothing is, with the first number free,
// and noted in the run's record of its own files (platform/OwnFileRecord.h).
#pragma once

#include <string>

namespace platform {

enum class COwnFileKind { Saving, Claim, Moving, Kept };

// The path of own file number `attempt` of `kind` beside `target`, a path text whose last
// backslash or slash ends its folder. Lengths are counted as Windows counts them, in
// characters of the ANSI code page. The same arguments give the same path.
std::string FormOwnPath(const std::string& target, COwnFileKind kind, int attempt);

// How many numbers a writer tries before it gives up on a folder.
inline constexpr int kOwnFileAttempts = 100;

} // namespace platform
