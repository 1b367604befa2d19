#!/usr/bin/env bash
# Takes pictures of the contact dialog (one per page) and of the dial-number and
# postal-address dialogs over a sample contact, under a virtual X display:
#   bash scripts/dialog-screenshots.sh [FOLDER]   (default docs/)
exec bash "$(dirname "$0")/screenshot.sh" --dialogs "$@"
