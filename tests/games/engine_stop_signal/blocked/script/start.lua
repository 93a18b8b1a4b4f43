-- Waits on a command for a minute, where no stop is seen: only a second
-- signal ends it. The command's pid is left for the test to end it.
print("looping")
io.stdout:flush()
os.execute("echo $$ >sleeper.pid; exec sleep 60")
