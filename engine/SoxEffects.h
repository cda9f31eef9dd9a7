#pragma once

#include <sox.h>

#include <string>

namespace tavora::engine {

struct PipelineContext;

// The chain's ends: "input" takes samples from the decoded ring, "output" puts
// them into the processed ring. Both find their rings through the flow binding.
const sox_effect_handler_t* InputEffectHandler();
const sox_effect_handler_t* OutputEffectHandler();

int InputDrain(sox_effect_t* effect, sox_sample_t* out, size_t* count);
int OutputFlow(sox_effect_t* effect, const sox_sample_t* in, sox_sample_t* out, size_t* inCount,
               size_t* outCount);

// Initialises libsox once per process; safe from any thread.
void EnsureSoxInitialised();

// One libsox effects chain, deleted with the object.
class SoxEffectsChain {
public:
    // Both ends carry 32-bit signed integers. Throws when libsox refuses the chain.
    SoxEffectsChain();
    ~SoxEffectsChain();
    SoxEffectsChain(const SoxEffectsChain&) = delete;
    SoxEffectsChain& operator=(const SoxEffectsChain&) = delete;

    // Creates an effect from handler, gives it the option (when not empty) and
    // adds it; signal becomes the effect's output. False when libsox refused it.
    bool Add(const sox_effect_handler_t* handler, const std::string& option,
             sox_signalinfo_t& signal, const sox_signalinfo_t& hint);
    // The same for one of the library's effects, found by name.
    bool Add(const char* name, int option, sox_signalinfo_t& signal, const sox_signalinfo_t& hint);

    // Runs the chain on this thread until the input ends or an effect stops
    // the flow. True when the input effect delivered all of its data, false
    // when the flow ended early (a stop, or a failure inside the chain).
    bool Flow(const PipelineContext& context);

private:
    sox_encodinginfo_t encoding_{};
    sox_effects_chain_t* chain_ = nullptr;
};

} // namespace tavora::engine
