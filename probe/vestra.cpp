// The system probe library; its queries are added with the probe's own work.
