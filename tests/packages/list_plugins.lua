-- Lists the plug-ins a headless Ardour finds at start-up, from its default
-- search paths and the scanners' indexes, one "tk42-plugin|NAME|PATH" line
-- each. The plug-in list needs a session: an empty one in TK42_SESSION.
AudioEngine:set_backend("None (Dummy)", "", "")
local session = create_session(os.getenv("TK42_SESSION"), "list", 48000)
assert(session, "cannot create the session")
for p in ARDOUR.LuaAPI.list_plugins():iter() do
  print("tk42-plugin|" .. p.name .. "|" .. p.path)
end
close_session()
