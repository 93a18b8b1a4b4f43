# One memory budget: events, replay records and sprite sets that a script piles
# up end as script errors, in a process far below a gigabyte (under a 1.5 GB
# address limit, so an abort instead of an error fails loudly); running out at
# the top level of start.lua ends the run with the message and exit status 1.
add_game_test(script_memory CHECKS --status 1 --memory-limit 1536 --stdout "^memory ok$"
              --stderr "^not enough memory$" --no-stderr "unprotected")
