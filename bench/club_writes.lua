-- The write-heavy mix for the PostgreSQL write figure: tournament entries in
-- both tables under ever new nicks, chat messages and statistics writes, each
-- from its own nick, so that writes by different players can go together.
local n = 0
local thread_tag = 0

function setup(thread)
  thread_tag = thread_tag + 1
  thread:set("tag", thread_tag)
end

function request()
  n = n + 1
  local nick = "P" .. tostring(tag) .. "x" .. tostring(n % 5000)
  local kind = n % 4
  local path, body
  if kind == 0 or kind == 1 then
    local table_id = kind == 0 and "76" or "176"
    path = "/topten"
    body = "gid=" .. table_id .. "&nick=" .. nick .. "&city=Moscow&country=1-001&score=" ..
           tostring(1000 + n % 9000) .. "&R7=M&R8=2.7&R9=%23&R10=%23*"
  elseif kind == 2 then
    path = "/stat"
    body = "gid=76&stat1=1&stat2=0"
  else
    path = "/stat"
    body = "gid=176&R1=0&R2=1&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0"
  end
  return wrk.format("POST", path, {["Content-Type"] = "application/x-www-form-urlencoded"}, body)
end
