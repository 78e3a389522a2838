# a session of world changes
unplug r4k
plug r4k
power m3 on
cable m2 on
battery m2 12 charging
boot r8k on
boot r8k off
pairmode m3 on
version m2 0x0103
longrange-off r4k
led r4k 2
status m2 0x41
reset-report m2
zero-ids r4k 2
