#include "engine/SoxEffects.h"

#include "engine/PipelineContext.h"
#include "platform/Ticks.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace tavora::engine {

namespace {

// What the two handlers of the flow running on this thread work with.
struct FlowBinding {
    const PipelineContext* context = nullptr;
    bool inputEnded = false; // the input effect reported the real end of its data
};
thread_local FlowBinding* t_flow = nullptr;

sox_effect_handler_t MakeHandler(const char* name) {
    sox_effect_handler_t handler{};
    handler.name = name;
    handler.usage = nullptr;
    handler.flags = SOX_EFF_MCHAN;
    handler.priv_size = 0;
    return handler;
}

} // namespace

int InputDrain(sox_effect_t* effect, sox_sample_t* out, size_t* count) {
    FlowBinding* flow = t_flow;
    if (!flow || !flow->context) {
        *count = 0;
        return SOX_EOF;
    }
    const PipelineContext& context = *flow->context;
    SampleRing& ring = *context.decodedRing;
    const size_t channels = effect->out_signal.channels ? effect->out_signal.channels : 1;
    // Whole frames only; never more than the ring can ever hold.
    size_t wanted = *count - *count % channels;
    const size_t most = ring.Size() - 1;
    if (wanted > most)
        wanted = most - most % channels;
    if (wanted == 0) {
        // No room for a whole frame in the chain's buffer. libsox takes an
        // empty drain for the end of the input whatever it returns, so this
        // is not reported as the real end: Flow then tells of an early end.
        *count = 0;
        return SOX_SUCCESS;
    }
    const auto want = static_cast<uint32_t>(wanted);
    while (context.state->Running()) {
        if (ring.Available(0) >= want || !context.job->Decoding()) {
            const uint32_t n = ring.Read(out, want, 0);
            *count = n;
            if (n > 0)
                return SOX_SUCCESS;
            flow->inputEnded = true;
            return SOX_EOF;
        }
        platform::SleepMs(1);
    }
    *count = 0;
    return SOX_EOF;
}

int OutputFlow(sox_effect_t*, const sox_sample_t* in, sox_sample_t*, size_t* inCount,
               size_t* outCount) {
    FlowBinding* flow = t_flow;
    if (!flow || !flow->context)
        return SOX_EOF;
    const PipelineContext& context = *flow->context;
    SampleRing& ring = *context.processedRing;
    const size_t count = *inCount;
    if (count > ring.Size() - 1)
        return SOX_EOF; // can never fit; libsox hands out far smaller buffers
    while (context.state->Running()) {
        if (ring.Free() >= count) {
            if (ring.Write(in, static_cast<uint32_t>(count)) < count)
                return SOX_EOF;
            *outCount = 0; // nothing goes further down; all of the input was taken
            return SOX_SUCCESS;
        }
        platform::SleepMs(1);
    }
    return SOX_EOF;
}

const sox_effect_handler_t* InputEffectHandler() {
    static const sox_effect_handler_t handler = [] {
        sox_effect_handler_t h = MakeHandler("input");
        h.drain = InputDrain;
        return h;
    }();
    return &handler;
}

const sox_effect_handler_t* OutputEffectHandler() {
    static const sox_effect_handler_t handler = [] {
        sox_effect_handler_t h = MakeHandler("output");
        h.flow = OutputFlow;
        return h;
    }();
    return &handler;
}

void EnsureSoxInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (sox_init() != SOX_SUCCESS)
            throw std::runtime_error("libsox could not be initialised");
        // Each chain runs on its own effects thread; no OpenMP workers inside it.
        sox_get_globals()->use_threads = sox_false;
        // The engine reports through its log; libsox's own notes (a filter
        // above the Nyquist frequency, clipping) would only go to stderr.
        sox_get_globals()->verbosity = 0;
        // sox_quit is never called: a worker left running may still use the library.
    });
}

SoxEffectsChain::SoxEffectsChain() {
    EnsureSoxInitialised();
    encoding_.encoding = SOX_ENCODING_SIGN2;
    encoding_.bits_per_sample = 32;
    encoding_.compression = 0;
    encoding_.reverse_bytes = sox_option_no;
    encoding_.reverse_nibbles = sox_option_no;
    encoding_.reverse_bits = sox_option_no;
    encoding_.opposite_endian = sox_false;
    chain_ = sox_create_effects_chain(&encoding_, &encoding_);
    if (!chain_)
        throw std::runtime_error("libsox refused the effects chain");
}

SoxEffectsChain::~SoxEffectsChain() {
    if (chain_)
        sox_delete_effects_chain(chain_);
}

bool SoxEffectsChain::Add(const sox_effect_handler_t* handler, const std::string& option,
                          sox_signalinfo_t& signal, const sox_signalinfo_t& hint) {
    if (!handler)
        return false;
    sox_effect_t* effect = sox_create_effect(handler);
    if (!effect)
        return false;
    if (!option.empty()) {
        char text[16];
        std::snprintf(text, sizeof text, "%s", option.c_str());
        char* args[] = {text};
        if (sox_effect_options(effect, 1, args) != SOX_SUCCESS) {
            std::free(effect->priv);
            std::free(effect);
            return false;
        }
    }
    // An added effect is copied into the chain, which takes over its private
    // data; a refused one still owns it.
    const bool added = sox_add_effect(chain_, effect, &signal, &hint) == SOX_SUCCESS;
    if (!added)
        std::free(effect->priv);
    std::free(effect);
    return added;
}

bool SoxEffectsChain::Add(const char* name, int option, sox_signalinfo_t& signal,
                          const sox_signalinfo_t& hint) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", option);
    return Add(sox_find_effect(name), text, signal, hint);
}

bool SoxEffectsChain::Flow(const PipelineContext& context) {
    FlowBinding binding{&context, false};
    FlowBinding* previous = t_flow;
    t_flow = &binding;
    sox_flow_effects(chain_, nullptr, nullptr);
    t_flow = previous;
    return binding.inputEnded;
}

} // namespace tavora::engine
