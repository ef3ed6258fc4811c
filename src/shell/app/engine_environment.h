#pragma once

namespace quintavia {

// Prepares the browser engine's start from the environment, before the application object
// exists (the engine reads its switches once, as it starts): the sandbox stays on for a normal
// user and goes off, with a warning, for root; the engine's own log and its start-up notices
// stay out of the program's output, which speaks only when something is wrong; the engine
// speaks Italian, and shows the pages' content to assistive technology.
void PrepareEngineEnvironment();

// Whether the engine was started with V8 hardened (no JIT, no WebAssembly): known once
// PrepareEngineEnvironment() has run.
bool EngineStartedHardened();

}  // namespace quintavia
