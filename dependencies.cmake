# Libraries the agent's own code links, installed from Debian's packages by scripts/setup.
