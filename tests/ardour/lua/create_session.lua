-- Creates a 48 kHz session on the dummy backend with one stereo track that
-- carries the plug-in, sets the plug-in's seven parameters, saves and closes.
-- Environment: TK42_SESSION_DIR, TK42_SESSION_NAME, TK42_PLUGIN_TYPE (LXVST,
-- LV2 or VST3), TK42_PARAMETERS (seven values separated by commas: normalised
-- for LXVST, real units for LV2's ports and VST3's parameters).
AudioEngine:set_backend("None (Dummy)", "", "")
local session = create_session(os.getenv("TK42_SESSION_DIR"), os.getenv("TK42_SESSION_NAME"), 48000)
assert(session, "cannot create the session")

local tracks = Session:new_audio_track(2, 2, nil, 1, "Limited",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
assert(tracks:size() == 1, "cannot add the track")
-- Ardour connects a new track to the master bus from another thread, maybe
-- after the save: connect it here, so that the saved session has it.
local track = tracks:front()
local master = Session:master_out():input()
for channel = 0, 1 do
  local out, into = track:output():audio(channel), master:audio(channel):name()
  out:connect(into)
  assert(out:connected_to(into), "the track does not reach the master bus")
end

local kind = ARDOUR.PluginType[os.getenv("TK42_PLUGIN_TYPE")]
assert(kind, "unknown plug-in type")
local plugin = ARDOUR.LuaAPI.new_plugin(Session, "TK42-R Limiter", kind, "")
assert(not plugin:isnil(), "Ardour does not know the plug-in")
assert(track:add_processor_by_index(plugin, 0, nil, true) == 0, "cannot insert the plug-in")

local index = 0
for value in string.gmatch(os.getenv("TK42_PARAMETERS"), "[^,]+") do
  assert(ARDOUR.LuaAPI.set_processor_param(plugin, index, tonumber(value)))
  index = index + 1
end
assert(index == 7, "expected seven parameters")
-- A VST3 host passes values to the processor with the next audio cycle, and
-- the saved state is the processor's: let the engine run a few cycles.
ARDOUR.LuaAPI.usleep(300000)

Session:save_state("")
close_session()
print("tk42: session created")
