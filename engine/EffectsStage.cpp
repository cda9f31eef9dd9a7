// The effects stage: CConversionTask::Process.
#include "engine/EffectsStage.h"

#include "engine/ConversionTask.h"
#include "engine/JobRunner.h"
#include "engine/PipelineContext.h"
#include "engine/Progress.h"
#include "engine/SoxEffects.h"

#include <stdexcept>

namespace tavora::engine {

namespace {

sox_signalinfo_t MakeSignal(double rate, unsigned channels) {
    sox_signalinfo_t signal{};
    signal.rate = rate;
    signal.channels = channels;
    signal.precision = 32;
    signal.length = SOX_UNKNOWN_LEN;
    signal.mult = nullptr;
    return signal;
}

} // namespace

int CConversionTask::Process() {
    const PipelineContext context = ContextFor(*this);
    processing.store(1, std::memory_order_release);
    if (!context.Complete()) {
        processing.store(0, std::memory_order_release);
        return 0;
    }
    ConversionState& state = *context.state;

    // signal follows the stream through the chain. The suggested output
    // carries the target format, so "channels" and "rate" produce it whatever
    // the library makes of their options.
    sox_signalinfo_t signal = MakeSignal(sourceRate, sourceChannels);
    const sox_signalinfo_t hint = MakeSignal(targetRate, targetChannels);
    try {
        SoxEffectsChain chain;
        if (!chain.Add(InputEffectHandler(), "", signal, signal))
            throw std::runtime_error("the input effect was refused");
        if (targetChannels != sourceChannels)
            chain.Add("channels", static_cast<int>(targetChannels), signal, hint);
        if (targetRate != sourceRate)
            chain.Add("rate", static_cast<int>(targetRate), signal, hint);
        // A filter above the output's Nyquist frequency is refused; there is nothing to cut then.
        chain.Add("lowpass", kLowpassHz, signal, hint);
        chain.Add("highpass", kHighpassHz, signal, hint);
        if (!chain.Add(OutputEffectHandler(), "", signal, hint))
            throw std::runtime_error("the output effect was refused");
        // The encoder is configured for the target format: anything else
        // would be encoded at the wrong speed or with mixed-up channels.
        if (signal.channels != targetChannels || signal.rate != static_cast<double>(targetRate))
            throw std::runtime_error("the chain does not produce the target format");

        StartEncoderThread(context);

        // An early end while the task still runs is a failure inside the
        // chain; reported as success it would leave a silently cut file.
        if (!chain.Flow(context) && state.Running())
            throw std::runtime_error("the effects chain ended before its input");
    } catch (...) {
        StopWithError(state, "An error occurred while processing audio data");
        processing.store(0, std::memory_order_release);
        return 0;
    }
    processing.store(0, std::memory_order_release);
    return 1;
}

} // namespace tavora::engine
