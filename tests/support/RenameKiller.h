#pragma once

namespace gapwell::test {

// Kills this process with SIGKILL before its `count`-th call of renameat from now on (0: never),
// as a crash or a power cut would. Linking this in makes every renameat of the program, the
// installer's included, go through the counter.
void KillBeforeRename(int count);

}  // namespace gapwell::test
