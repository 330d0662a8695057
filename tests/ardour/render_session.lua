-- Runs inside Ardour's headless Lua session tool. Records a deterministic
-- signal from the dummy back end into a region and saves the session twice:
-- snapshot "input" with the bare track, snapshot "output" with the plug-in
-- inserted on it.
--
-- Environment: TRAMVEK_WORK (folder for the session), TRAMVEK_TEMPO (BPM),
-- TRAMVEK_SECONDS (length of the session range), TRAMVEK_PARAMS
-- ("index=value ..." set on the plug-in), TRAMVEK_PLUGIN_TYPE (LXVST, the
-- default, or LV2), TRAMVEK_AUTOMATE ("index seconds value seconds value
-- ...": a third snapshot, "automated", plays that parameter's automation),
-- TRAMVEK_PRESET (an LV2 preset's label: a fourth snapshot, "frozen").

local function fail(message)
  print("ardour-session: " .. message)
  os.exit(1)
end

local work = os.getenv("TRAMVEK_WORK") or fail("TRAMVEK_WORK not set")
local tempo = tonumber(os.getenv("TRAMVEK_TEMPO")) or fail("TRAMVEK_TEMPO not set")
local seconds = tonumber(os.getenv("TRAMVEK_SECONDS")) or fail("TRAMVEK_SECONDS not set")
local params = os.getenv("TRAMVEK_PARAMS") or ""
local rate = 48000
local length = math.floor(seconds * rate)

-- The dummy back end feeds its capture ports from a generator; a sweep gives
-- every slice different content, so a slice played at the wrong place shows.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_device_name("Sine Sweep")
if not create_session(work .. "/session", "session", rate) then
  fail("cannot create the session")
end

local map = Temporal.TempoMap.fetch_writable()
map:set_tempo(Temporal.Tempo(tempo, tempo, 4), Temporal.timepos_t(0))
Temporal.TempoMap.update(map)

local tracks = Session:new_audio_track(2, 2, nil, 1, "Loop", ARDOUR.PresentationInfo.max_order,
  ARDOUR.TrackMode.Normal, true)
local track = tracks:front()

-- Record a second more than the export needs, from the session start.
track:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
Session:maybe_enable_record(false)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
while Session:transport_sample() < length + rate do
  ARDOUR.LuaAPI.usleep(100000)
end
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
while Session:transport_rolling() do
  ARDOUR.LuaAPI.usleep(100000)
end
Session:disable_record(false, false)
track:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)

local regions = track:playlist():region_list()
local region = nil
for r in regions:iter() do region = r end
if regions:size() ~= 1 or region:position():samples() ~= 0 or region:length():samples() < length then
  fail("the recorded region does not cover the session range")
end

-- The exports cover exactly the session range.
Session:locations():session_range_location():set(Temporal.timepos_t(0), Temporal.timepos_t(length))

-- Snapshots are saved instead of exported here: exporting twice from this
-- tool corrupts its heap now and then (Ardour 7.3, with or without any
-- plug-in); ardour7-export exports each snapshot in a process of its own.
local function save(snapshot)
  if Session:save_state(snapshot, false, false, false, false, false) ~= 0 then
    fail("cannot save snapshot " .. snapshot)
  end
end

save("input")

local plugin
if os.getenv("TRAMVEK_PLUGIN_TYPE") == "LV2" then
  plugin = ARDOUR.LuaAPI.new_plugin(Session, "urn:tramvek:slicer", ARDOUR.PluginType.LV2, "")
else
  plugin = ARDOUR.LuaAPI.new_plugin(Session, "tramvek v1.0", ARDOUR.PluginType.LXVST, "")
end
if plugin:isnil() then
  fail("the plug-in was not found (LXVST_PATH and the scanner's cache, or LV2_PATH)")
end
if track:add_processor_by_index(plugin, 0, nil, true) ~= 0 then
  fail("cannot insert the plug-in")
end
for index, value in params:gmatch("(%d+)=(-?[%d.]+)") do
  if not ARDOUR.LuaAPI.set_processor_param(plugin, tonumber(index), tonumber(value)) then
    fail("cannot set parameter " .. index)
  end
end

save("output")

local automate = os.getenv("TRAMVEK_AUTOMATE") or ""
if automate ~= "" then
  local words = {}
  for word in automate:gmatch("%S+") do words[#words + 1] = tonumber(word) end
  local list, events, descriptor = ARDOUR.LuaAPI.plugin_automation(plugin, words[1])
  if list:isnil() then
    fail("parameter " .. words[1] .. " cannot be automated")
  end
  for i = 2, #words - 1, 2 do
    events:add(Temporal.timepos_t(math.floor(words[i] * rate)), words[i + 1], false, false)
  end
  -- The list plays through its control, found by the parameter's name.
  local automatable = plugin:to_automatable()
  local control = nil
  for parameter in automatable:all_automatable_params():iter() do
    local candidate = automatable:automation_control(parameter, false)
    if not candidate:isnil() and candidate:name() == descriptor.label then control = candidate end
  end
  if control == nil then
    fail("no automation control named " .. descriptor.label)
  end
  control:set_automation_state(ARDOUR.AutoState.Play)
  print("ardour-session: automated parameter " .. words[1] .. " (" .. descriptor.lower .. " to " ..
    descriptor.upper .. ")")
  save("automated")
end

-- A fourth snapshot, "frozen": a fresh instance in place of the first, its
-- state from the preset TRAMVEK_PRESET (by label), which holds frozen audio.
-- The session's save writes that audio as a file of the plug-in's own.
local preset = os.getenv("TRAMVEK_PRESET") or ""
if preset ~= "" then
  local frozen = ARDOUR.LuaAPI.new_plugin(Session, "urn:tramvek:slicer", ARDOUR.PluginType.LV2, preset)
  if frozen:isnil() then
    fail("the plug-in was not found for the preset " .. preset)
  end
  if track:replace_processor(plugin, frozen, nil) ~= 0 then
    fail("cannot put the preset's instance in place of the first")
  end
  save("frozen")
end
close_session()
-- The tool exits with status 0 even after a script error: this line is the proof of success.
print("ardour-session: done")
