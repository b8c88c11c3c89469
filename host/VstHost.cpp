// The host side of the VST 2 boundary: instance life cycle, the callback, processing and collection.
#include "host/VstHost.h"

#include <algorithm>
#include <cstring>

#include "host/SysexDump.h"

namespace {

// The entry point calls back before the host knows the effect record, so the host being created is
// found through this thread's own pointer until its address is stored in the record.
thread_local VstHost* hostBeingCreated = nullptr;
// Set on the thread inside processReplacing, so events sent from the plug-in's other threads can be told
// apart from events sent during processing.
thread_local const VstHost* hostProcessing = nullptr;

// The bytes now, before the plug-in reuses them; a size that cannot be true is reported, never read.
void copySysex(const VstMidiSysexEvent& event, ReceivedEvent& copy) {
  if (const char* problem = SysexDumpProblem(event)) {
    copy.sysexRefusal = "dumpBytes " + std::to_string(event.dumpBytes) + ": " + problem;
    return;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(event.sysexDump);
  copy.sysex.assign(bytes, bytes + event.dumpBytes);
}

}  // namespace

VstHost::VstHost(HostSettings settings) : config(std::move(settings)) {}

bool VstHost::load(const std::string& path) {
  unload();
  {
    std::lock_guard<std::mutex> guard(collectedLock);
    blockCount = 0;
    received.clear();
    automation.clear();
    windowSizes.clear();
    otherCallbackCounts.clear();
  }
  for (std::atomic<int>& count : knownCallbackCounts) count = 0;
  lastError = module.open(path);
  if (!lastError.empty()) return false;

  hostBeingCreated = this;
  AEffect* created = module.entryPoint()(&VstHost::hostCallback);
  hostBeingCreated = nullptr;
  if (!created) {
    lastError = "the plug-in's " + module.entryName() + " returned no effect: it refused to load";
    module.close();
    return false;
  }
  if (created->magic != kEffectMagic || !created->dispatcher) {
    // Not a record we can talk to; calling its dispatcher, even to close it, could crash.
    lastError = "the plug-in's " + module.entryName() + " returned a record without the 'VstP' magic";
    module.close();
    return false;
  }
  // resvd1 belongs to the host: it is how the callback finds this host from now on.
  created->resvd1 = reinterpret_cast<VstIntPtr>(this);
  fx = created;
  dispatch(effOpen);
  dispatch(effSetSampleRate, 0, 0, nullptr, config.sampleRate);
  dispatch(effSetBlockSize, 0, config.blockSize);
  prepareBuffers();
  return true;
}

VstIntPtr VstHost::close() {
  if (!fx) return 0;
  if (mainsOn) mainsChanged(false);
  const VstIntPtr result = dispatch(effClose);
  // The plug-in has freed the record; nothing may touch it again.
  fx = nullptr;
  pendingMidi.clear();
  return result;
}

void VstHost::unload() {
  close();
  module.close();
}

VstIntPtr VstHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (!fx) return 0;
  return fx->dispatcher(fx, opcode, index, value, ptr, opt);
}

std::string VstHost::dispatchText(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
  // Far larger than any limit a plug-in is told, because some write past the limits they are given.
  char text[512] = {};
  dispatch(opcode, index, value, text);
  text[sizeof text - 1] = '\0';
  return text;
}

void VstHost::setParameter(VstInt32 index, float value) {
  if (fx && fx->setParameter) fx->setParameter(fx, index, value);
}

float VstHost::getParameter(VstInt32 index) {
  return fx && fx->getParameter ? fx->getParameter(fx, index) : 0.0f;
}

void VstHost::mainsChanged(bool on) {
  if (!fx) return;
  dispatch(effMainsChanged, 0, on ? 1 : 0);
  mainsOn = on;
}

void VstHost::resend() {
  setParameter(kResendParameter, 1.0f);
  setParameter(kResendParameter, 0.0f);
}

std::vector<uint8_t> VstHost::getChunk(bool preset) {
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr VstHost::setChunk(const std::vector<uint8_t>& chunk, bool preset) {
  // A copy, because the plug-in is handed a non-const pointer and may write into it.
  std::vector<uint8_t> copy = chunk;
  return dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()), copy.data());
}

void VstHost::queueMidi(const std::vector<uint8_t>& bytes, VstInt32 deltaFrames) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = deltaFrames;
  std::memcpy(event.midiData, bytes.data(), std::min<size_t>(bytes.size(), 3));
  pendingMidi.push_back(event);
}

void VstHost::prepareBuffers() {
  const size_t ins = static_cast<size_t>(std::max(fx->numInputs, 0));
  const size_t outs = static_cast<size_t>(std::max(fx->numOutputs, 0));
  const size_t frames = static_cast<size_t>(std::max(config.blockSize, 1));
  inputs.assign(ins, std::vector<float>(frames, 0.0f));
  outputs.assign(outs, std::vector<float>(frames, 0.0f));
}

void VstHost::processBlock() {
  if (!fx) return;
  ++blockCount;
  startBlockFrames(std::max(config.blockSize, 1));
  // The event list must outlive the processing call: the plug-in may read it until then.
  std::vector<VstEvent*> pointers;
  std::vector<uint8_t> listMemory;
  if (!pendingMidi.empty()) {
    for (VstMidiEvent& event : pendingMidi) pointers.push_back(reinterpret_cast<VstEvent*>(&event));
    listMemory.assign(offsetof(VstEvents, events) + pointers.size() * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(listMemory.data());
    list->numEvents = static_cast<VstInt32>(pointers.size());
    std::memcpy(listMemory.data() + offsetof(VstEvents, events), pointers.data(),
                pointers.size() * sizeof(VstEvent*));
    dispatch(effProcessEvents, 0, 0, list);
  }

  // A resized block or a changed channel count must not leave the plug-in short of buffer.
  const size_t frames = static_cast<size_t>(std::max(config.blockSize, 1));
  if (inputs.size() != static_cast<size_t>(std::max(fx->numInputs, 0)) ||
      outputs.size() != static_cast<size_t>(std::max(fx->numOutputs, 0)) ||
      (!outputs.empty() && outputs[0].size() != frames) || (!inputs.empty() && inputs[0].size() != frames))
    prepareBuffers();
  inputPointers.clear();
  outputPointers.clear();
  for (auto& channel : inputs) inputPointers.push_back(channel.data());
  for (auto& channel : outputs) {
    std::fill(channel.begin(), channel.end(), 0.0f);
    outputPointers.push_back(channel.data());
  }

  hostProcessing = this;
  if (fx->processReplacing)
    fx->processReplacing(fx, inputPointers.data(), outputPointers.data(), static_cast<VstInt32>(frames));
  else if (fx->process)
    fx->process(fx, inputPointers.data(), outputPointers.data(), static_cast<VstInt32>(frames));
  hostProcessing = nullptr;
  pendingMidi.clear();
}

void VstHost::processReplacingWith(VstEvents* events, float** ins, float** outs, VstInt32 frames) {
  if (!fx) return;
  ++blockCount;
  startBlockFrames(frames);
  // Marked for the whole cycle: a plug-in may hand events over from its processEvents too.
  hostProcessing = this;
  if (events && events->numEvents > 0) dispatch(effProcessEvents, 0, 0, events);
  if (fx->processReplacing)
    fx->processReplacing(fx, ins, outs, frames);
  else if (fx->process)
    fx->process(fx, ins, outs, frames);
  hostProcessing = nullptr;
}

int64_t VstHost::blocksStarted() const { return blockCount; }

void VstHost::startBlockFrames(VstInt32 frames) {
  blockStartFrame.store(framesProcessed, std::memory_order_relaxed);
  framesProcessed += frames;
}

std::vector<ReceivedEvent> VstHost::events() const {
  std::lock_guard<std::mutex> guard(collectedLock);
  return received;
}

std::vector<ReceivedEvent> VstHost::takeEvents() {
  std::lock_guard<std::mutex> guard(collectedLock);
  std::vector<ReceivedEvent> taken;
  taken.swap(received);
  return taken;
}

void VstHost::clearEvents() {
  std::lock_guard<std::mutex> guard(collectedLock);
  received.clear();
}

std::vector<AutomationCall> VstHost::automationCalls() const {
  std::lock_guard<std::mutex> guard(collectedLock);
  return automation;
}

std::vector<WindowSizeCall> VstHost::sizeWindowCalls() const {
  std::lock_guard<std::mutex> guard(collectedLock);
  return windowSizes;
}

void VstHost::setSizeWindowListener(std::function<void(VstInt32, VstInt32)> listener) {
  std::lock_guard<std::mutex> guard(listenerLock);
  sizeWindowListener = std::move(listener);
}

int VstHost::callbackCount(VstInt32 opcode) const {
  if (opcode >= 0 && opcode < kCountedOpcodes) return knownCallbackCounts[static_cast<size_t>(opcode)];
  std::lock_guard<std::mutex> guard(collectedLock);
  const auto found = otherCallbackCounts.find(opcode);
  return found == otherCallbackCounts.end() ? 0 : found->second;
}

double VstHost::secondsSinceStart() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

VstIntPtr VstHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  VstHost* host = effect && effect->resvd1 ? reinterpret_cast<VstHost*>(effect->resvd1) : hostBeingCreated;
  // A call no host can be found for (a stray thread during creation) gets the answers of a plain host
  // and is not recorded.
  if (!host) return opcode == audioMasterVersion ? 2400 : 0;
  return host->answer(opcode, index, value, ptr, opt);
}

// Any thread. Never calls back into the plug-in: it may be in the middle of a dispatcher call.
VstIntPtr VstHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode >= 0 && opcode < kCountedOpcodes) {
    ++knownCallbackCounts[static_cast<size_t>(opcode)];
  } else {
    std::lock_guard<std::mutex> guard(collectedLock);
    ++otherCallbackCounts[opcode];
  }
  switch (opcode) {
    case audioMasterVersion:
      return config.version;
    case audioMasterAutomate: {
      std::lock_guard<std::mutex> guard(collectedLock);
      automation.push_back({index, opt});
      return 0;
    }
    case audioMasterCurrentId:
      return fx ? fx->uniqueID : 0;
    case audioMasterWantMidi:
      return 1;
    case audioMasterProcessEvents:
      if (processingSink && hostProcessing == this) {
        if (ptr) processingSink->takeEvents(*static_cast<const VstEvents*>(ptr));
        return 1;
      }
      collectEvents(static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterSizeWindow: {
      {
        std::lock_guard<std::mutex> guard(collectedLock);
        windowSizes.push_back({index, static_cast<VstInt32>(value)});
      }
      // Its own lock, so that taking the listener away waits for a call in flight.
      std::lock_guard<std::mutex> guard(listenerLock);
      if (sizeWindowListener) sizeWindowListener(index, static_cast<VstInt32>(value));
      return 1;
    }
    case audioMasterGetVendorString:
      return copyString(config.vendor, ptr);
    case audioMasterGetProductString:
      return copyString(config.product, ptr);
    case audioMasterGetVendorVersion:
      return config.vendorVersion;
    case audioMasterCanDo:
      return ptr && config.canDo.count(static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetDirectory:
      // The string lives in the library object, so the pointer stays valid while the plug-in is loaded.
      return reinterpret_cast<VstIntPtr>(module.directory().c_str());
    default:
      return 0;
  }
}

void VstHost::collectEvents(const VstEvents* list) {
  if (!list || list->numEvents <= 0) return;
  const bool processing = hostProcessing == this;
  const double now = secondsSinceStart();
  std::lock_guard<std::mutex> guard(collectedLock);
  for (VstInt32 i = 0; i < list->numEvents; ++i) {
    const VstEvent* event = list->events[i];
    if (!event) continue;
    ReceivedEvent copy{};
    if (event->type == kVstMidiType) {
      std::memcpy(&copy.event, event, sizeof(VstMidiEvent));
    } else {
      copy.event.type = event->type;
      copy.event.deltaFrames = event->deltaFrames;
    }
    if (event->type == kVstSysExType) copySysex(*reinterpret_cast<const VstMidiSysexEvent*>(event), copy);
    copy.block = blockCount;
    copy.duringProcessing = processing;
    copy.seconds = now;
    copy.streamSeconds =
        static_cast<double>(blockStartFrame.load(std::memory_order_relaxed) + copy.event.deltaFrames) /
        config.sampleRate;
    received.push_back(std::move(copy));
  }
}

VstIntPtr VstHost::copyString(const std::string& text, void* ptr) const {
  if (!config.answerStrings || !ptr) return 0;
  // Buffers for these requests are 64 bytes: 63 characters and the terminator.
  const size_t length = std::min<size_t>(text.size(), kVstMaxVendorStrLen - 1);
  std::memcpy(ptr, text.data(), length);
  static_cast<char*>(ptr)[length] = '\0';
  return 1;
}
