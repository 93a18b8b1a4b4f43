-- Presents frames until --max-frames ends the run.
ResetPalette() AdjustPalette()
while true do
  Update()
  Present()
end
