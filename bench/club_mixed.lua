-- A mixed club workload for wrk: mostly table and statistics reads, some
-- writes, some requests on a session (saving personal information) and some
-- logins. BRAXO_COOKIE holds the session cookie of the member "Bench".
local cookie = os.getenv("BRAXO_COOKIE") or ""
local form = { ["Content-Type"] = "application/x-www-form-urlencoded", ["User-Agent"] = "PlavoKeyStamp" }
local with_session = { ["Content-Type"] = form["Content-Type"], ["User-Agent"] = form["User-Agent"], ["Cookie"] = cookie }
local counter = 0
local logins = tonumber(os.getenv("BRAXO_LOGIN_PERMILLE") or "2")

local function post(path, body, headers)
  return wrk.format("POST", path, headers or form, body)
end

request = function()
  counter = counter + 1
  local r = math.random(1000)
  if r <= 400 then return post("/topten", "gid=76") end
  if r <= 600 then return post("/stat", "gid=76") end
  if r <= 700 then return post("/topten", "gid=100") end
  if r <= 780 then return post("/topten", "rgid=76") end
  if r <= 830 then return post("/account", "xxxbrkon=0") end
  if r <= 880 then return post("/stat", "gid=76&stat1=1&stat2=0") end
  if r <= 930 then
    return post("/topten", "gid=76&nick=Bench" .. (counter % 1000) .. "&city=Moscow&country=1-001&score="
      .. math.random(19000) .. "&R7=M&R8=2.7&R9=%23&R10=%23*")
  end
  if r <= 1000 - logins then
    return post("/account", "nick=Bench&labelinfosave=0&namei=N" .. counter .. "&name2=B&about=Fast&telephone=1"
      .. "&emailo=b@x.ru&website=w&skype=s&ok=o&vk=v&telegram=t&facebook=f&twitter=t&instagramm=i&youtube=y",
      with_session)
  end
  return post("/account", "nick=Bench&pw=bench123&label0=0")
end
