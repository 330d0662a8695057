-- Runs inside Ardour's headless Lua session tool. Exports one snapshot of the
-- session with the dummy back end running at a chosen period (ardour7-export
-- always runs at 1024 frames), so the plug-in gets blocks of that size.
--
-- Environment: TRAMVEK_WORK (the session's folder), TRAMVEK_SNAPSHOT,
-- TRAMVEK_PERIOD (frames per cycle), TRAMVEK_PRESET (export preset id; the
-- file lands in TRAMVEK_WORK/exports).

local function fail(message)
  print("ardour-export: " .. message)
  os.exit(1)
end

local work = os.getenv("TRAMVEK_WORK") or fail("TRAMVEK_WORK not set")
local snapshot = os.getenv("TRAMVEK_SNAPSHOT") or fail("TRAMVEK_SNAPSHOT not set")
local period = tonumber(os.getenv("TRAMVEK_PERIOD")) or fail("TRAMVEK_PERIOD not set")
local preset = os.getenv("TRAMVEK_PRESET") or fail("TRAMVEK_PRESET not set")

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_buffer_size(period)
if backend:buffer_size() ~= period then
  fail("the back end runs at " .. backend:buffer_size() .. " frames, not " .. period)
end
if not load_session(work .. "/session", snapshot) then
  fail("cannot load snapshot " .. snapshot)
end
local export = Session:simple_export()
export:set_folder(work .. "/exports")
if not export:set_preset(preset) then
  fail("no export preset " .. preset)
end
if not export:run_export() then
  fail("the export failed")
end
close_session()
-- The tool exits with status 0 even after a script error: this line is the proof of success.
print("ardour-export: done")
