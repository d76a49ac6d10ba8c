#include "engine/press_engine.h"

#include <atomic>

namespace {

// The engine of a program that installs none: the tools, and tests that drive single
// parts. A function-local object, so it exists before any use.
PressEngine* UnownedEngine() {
    static PressEngine engine(TheReceiver());
    return &engine;
}

// The one context-free way in: the catalogue's handlers and the main window's timer are
// plain functions without a context pointer, so they find the engine here.
std::atomic<PressEngine*> g_engine{nullptr};

}  // namespace

void InstallPressEngine(PressEngine* engine) {
    g_engine = engine;
    InstallHandlerMemory(engine != nullptr ? &engine->handlers : nullptr);
}

PressEngine& PressEngineInUse() {
    PressEngine* engine = g_engine.load();
    return engine != nullptr ? *engine : *UnownedEngine();
}

PressEngineOwner::PressEngineOwner(IrReceiver& receiver)
    : receiver_(receiver), engine_(std::make_shared<PressEngine>(receiver)) {
    InstallPressEngine(engine_.get());
}

PressEngineOwner::~PressEngineOwner() {
    ForgetCodeSink(receiver_, engine_.get());
    PressEngine* installed = engine_.get();
    if (g_engine.compare_exchange_strong(installed, nullptr)) InstallHandlerMemory(nullptr);
}
