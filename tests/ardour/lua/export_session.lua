-- Opens a saved session, prints the plug-in's parameters as the session
-- brought them back, and exports the first TK42_EXPORT_FRAMES frames through
-- the master bus with the export preset TK42_EXPORT_PRESET into
-- TK42_EXPORT_DIR/TK42_EXPORT_NAME.wav.
AudioEngine:set_backend("None (Dummy)", "", "")
local session = load_session(os.getenv("TK42_SESSION_DIR"), os.getenv("TK42_SESSION_NAME"))
assert(session, "cannot open the session")

local track = Session:route_by_name("Limited")
assert(not track:isnil(), "the track is missing")
assert(track:to_track():playlist():n_regions() == 1, "the track has no region")
for channel = 0, 1 do
  local into = Session:master_out():input():audio(channel):name()
  assert(track:output():audio(channel):connected_to(into), "the track does not reach the master bus")
end
local plugin = track:nth_plugin(0)
assert(not plugin:isnil(), "the plug-in is missing")
assert(plugin:display_name() == "TK42-R Limiter", "another plug-in: " .. plugin:display_name())
local values = {}
for index = 0, 6 do
  local value, ok = ARDOUR.LuaAPI.get_processor_param(plugin, index, true)
  values[#values + 1] = string.format("%.9g", value)
end
print("tk42: parameters " .. table.concat(values, ","))

local export = Session:simple_export()
export:set_folder(os.getenv("TK42_EXPORT_DIR"))
export:set_name(os.getenv("TK42_EXPORT_NAME"))
export:set_range(0, tonumber(os.getenv("TK42_EXPORT_FRAMES")))
assert(export:set_preset(os.getenv("TK42_EXPORT_PRESET")), "unknown export preset")
assert(export:check_outputs(), "nothing to export")
assert(export:run_export(), "the export failed")
close_session()
print("tk42: exported")
